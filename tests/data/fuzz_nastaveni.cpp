// libFuzzer target for the settings file: any bytes read without harm; what
// was read is written and read back the same; the file written is in its
// settled form at the latest after the second save and later saves change
// no byte. The second save may still differ from the first: a line the
// parser cannot read (a key without "=") is dropped by the first, and a
// comment that then stands first in the file is taken for the file's own
// comment and set off by two blank lines, once.
#include "Dekl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

QByteArray Obsah(const QString& cesta) {
    QFile f(cesta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Stejne(const TData& a, const TData& b) {
    // An undefined byte of the code page reads as U+FFFD and is written as
    // '?': the address text is compared only when it holds none.
    const bool ip = a.IPAdresa.contains(QChar::ReplacementCharacter) || a.IPAdresa == b.IPAdresa;
    return ip && a.Rozhrani == b.Rozhrani && a.Adresa == b.Adresa && a.Rychlost == b.Rychlost &&
           a.CisloPortu == b.CisloPortu && a.BazovaAdresa == b.BazovaAdresa &&
           a.UDPPort == b.UDPPort && a.UDPTimeout == b.UDPTimeout;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory where there is such a place: every save is synced to disk.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/fuzz_nastaveni-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_nastaveni-XXXXXX"));
    const QString cesta = dir.filePath(QStringLiteral("W_zr464.ini"));
    {
        QFile f(cesta);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    TData prvni;
    VychoziData(&prvni);
    const bool precteno = NactiNastaveni(&prvni, cesta);
    // A file at the size limit may have no room for what a save adds: then
    // nothing is written and the file stays as it was.
    if (!UlozNastaveni(&prvni, cesta)) {
        check(size + 64 > static_cast<std::size_t>(NejvetsiSouborNastaveni) &&
              Obsah(cesta) ==
                  QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        return 0;
    }
    const QByteArray ulozeno = Obsah(cesta);

    TData druhe;
    VychoziData(&druhe);
    check(NactiNastaveni(&druhe, cesta));
    check(!precteno || Stejne(prvni, druhe));
    check(UlozNastaveni(&druhe, cesta));
    const QByteArray znovu = Obsah(cesta);
    check(znovu.size() <= ulozeno.size() + 2);
    check(UlozNastaveni(&druhe, cesta));
    check(Obsah(cesta) == znovu);
    return 0;
}
