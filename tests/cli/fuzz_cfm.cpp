// libFuzzer target for the module configuration file (.cfm): any bytes are
// read without harm; a refused file names a line within the file (or the
// line after its last, for a truncated one) and says why; an accepted file,
// written out again, reads back to the same configuration and the same text.
#include "Cfm.h"

#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool Stejne(const TKonfigurace& a, const TKonfigurace& b) {
    return a.Adresa == b.Adresa && a.Rychlost == b.Rychlost &&
           a.InicializacniCas == b.InicializacniCas && a.DobaVypnutiRele == b.DobaVypnutiRele &&
           a.AktivaceCasovace == b.AktivaceCasovace && a.NegaceDIN == b.NegaceDIN &&
           a.NegaceDOUT == b.NegaceDOUT && a.PocatecniStavDOUT == b.PocatecniStavDOUT;
}

// The input as the file; or, when its first byte is odd, a valid file with
// one of its lines (chosen by the second byte) replaced by the rest, so
// that accepted files are met often, not only by chance.
QByteArray Soubor(const std::uint8_t* data, std::size_t size) {
    const QByteArray vstup(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (size < 2 || (data[0] & 1) == 0) return vstup;
    QList<QByteArray> radky = ZapisCfm(VychoziKonfigurace(), {}).split('\n');
    radky[data[1] % (radky.size() - 1)] = vstup.mid(2);
    return radky.join('\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray obsah = Soubor(data, size);
    TChybaCfm chyba;
    const auto k = PrectiCfm(obsah, chyba);
    if (!k) {
        QByteArray radky = obsah;
        radky.replace("\r\n", "\n").replace('\r', '\n');
        check(chyba.Radek >= 1 && chyba.Radek <= radky.count('\n') + 1);
        check(!chyba.Text.isEmpty());
        return 0;
    }
    const QByteArray text = ZapisCfm(*k, {QStringLiteral("zkouška")});
    TChybaCfm znovu;
    const auto k2 = PrectiCfm(text, znovu);
    check(k2.has_value() && Stejne(*k, *k2));
    check(ZapisCfm(*k2, {QStringLiteral("zkouška")}) == text);
    return 0;
}
