#include "Dekl.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t LanOffsetTextu = 12; // byte offset of the IP text in Parametry
constexpr std::size_t LanMaxTextu = sizeof(TParametry) - LanOffsetTextu - 1;
constexpr int MaxZnakuBufferu = DelkaChybovehoTextu - 1;

QByteArray DoCp1250(const QString& text) {
    QStringEncoder encoder("windows-1250");
    return encoder.encode(text);
}

QString ZCp1250(const QByteArray& bajty) {
    QStringDecoder decoder("windows-1250");
    return decoder.decode(bajty);
}

constexpr std::int32_t VychoziCekani = 20;

int RadekRychlosti(std::int32_t rychlost) {
    for (int i = 0; i < PocetRychlosti; ++i)
        if (static_cast<std::int32_t>(RychlostiBd[static_cast<std::size_t>(i)]) == rychlost)
            return i;
    return -1;
}

} // namespace

bool PripojeniPouzitelne(const TData* data) {
    return data != nullptr && data->Inicializovano && data->Spojeni != 0;
}

QString TextNeinicializovano() {
    return QStringLiteral(" Připojení k modulu není inicializováno.");
}

TKonfigurace VychoziKonfigurace() {
    TKonfigurace k{};
    k.Adresa = 1;
    k.Rychlost = 4;
    k.InicializacniCas = 60;
    k.DobaVypnutiRele = 10;
    k.AktivaceCasovace = 1;
    k.NegaceDIN = {255, 255, 255, 255};
    k.NegaceDOUT = {255, 255, 255, 255};
    k.PocatecniStavDOUT = {0, 0, 0, 0};
    return k;
}

void VychoziData(TData* data) {
    if (data == nullptr) return;
    data->Rozhrani = 0;
    data->Adresa = 0;
    data->Rychlost = 9600;
    data->BazovaAdresa = 0x300;
    data->CisloPortu = 1;
    data->IPAdresa = QString::fromLatin1(VychoziIPAdresa);
    data->UDPPort = 5000;
    data->UDPTimeout = 100;
    data->StavPripojeni = QStringLiteral("Připojení modulu dosud neinicializováno");
    data->Spojeni = 0;
    data->Inicializovano = false;
    data->ModulDoplnek.clear();
    data->Parametry.fill(0);
    data->Konfigurace = VychoziKonfigurace();
}

QString ZpravaProgramu(int index) {
    static const QString zpravy[] = {QStringLiteral("V pořádku"),
                                     QStringLiteral("Nelze vytvořit datové struktury programu")};
    if (index < 0 || index >= static_cast<int>(std::size(zpravy))) return {};
    return zpravy[index];
}

QString TextRychlosti(int index) {
    if (index < 0 || index >= PocetRychlosti) return {};
    return QString::number(RychlostiBd[static_cast<std::size_t>(index)]) + QStringLiteral(" Bd");
}

std::int32_t IndexNaRychlost(std::uint8_t index) {
    return static_cast<std::int32_t>(
        RychlostiBd[index < PocetRychlosti ? index : VychoziIndexRychlosti]);
}

std::uint8_t RychlostNaIndex(std::int32_t rychlost) {
    const int radek = RadekRychlosti(rychlost);
    return radek < 0 ? VychoziIndexRychlosti : static_cast<std::uint8_t>(radek);
}

std::int32_t RychlostNaCekani(std::int32_t rychlost) {
    const int radek = RadekRychlosti(rychlost);
    return radek < 0 ? VychoziCekani : CekaniRychlosti[static_cast<std::size_t>(radek)];
}

bool ParametryLAN(TData& data) {
    data.Parametry.fill(0);
    const QByteArray text = DoCp1250(data.IPAdresa);
    if (static_cast<std::size_t>(text.size()) > LanMaxTextu || text.contains('\0')) return false;
    data.Parametry[0] = LanOffsetTextu;
    data.Parametry[1] = static_cast<std::uint32_t>(data.UDPPort);
    data.Parametry[2] = static_cast<std::uint32_t>(data.UDPTimeout);
    auto* bajty = reinterpret_cast<unsigned char*>(data.Parametry.data());
    std::memcpy(bajty + LanOffsetTextu, text.constData(), static_cast<std::size_t>(text.size()));
    return true;
}

bool NaplnParametry(TData& data, std::uint32_t cisloPortu) {
    data.Parametry.fill(0);
    if (data.Rozhrani == 4) return ParametryLAN(data);
    if (data.Rozhrani == 0) data.Parametry[0] = cisloPortu;
    if (data.Rozhrani == 1) data.Parametry[0] = data.BazovaAdresa;
    return true;
}

std::uint32_t TextNaBuffer(const QString& text, TChybovyText& buffer) {
    buffer.fill(0);
    const QByteArray bajty = DoCp1250(text);
    const int pocet = std::min<int>(static_cast<int>(bajty.size()), MaxZnakuBufferu);
    for (int i = 0; i < pocet; ++i)
        buffer[static_cast<std::size_t>(i) + 1] = static_cast<unsigned char>(bajty[i]);
    return 0;
}

QString BufferNaText(const TChybovyText& buffer) {
    // Element 0 is either 0 or already the first character; the text ends at
    // the first later element whose character code is 0, or after element 99.
    QByteArray bajty;
    const auto znak = [&](std::size_t i) { return static_cast<char>(buffer[i] & 0xFFu); };
    if (znak(0) != 0) bajty.append(znak(0));
    for (std::size_t i = 1; i < buffer.size() && znak(i) != 0; ++i)
        bajty.append(znak(i));
    return ZCp1250(bajty);
}

namespace {

// One "ADDR[:RATE]" item; the address in decimal, the rate one of the table.
std::optional<TModulSbernice> CtiModulSbernice(const QString& polozka) {
    const QStringList casti = polozka.split(u':');
    if (casti.size() > 2) return std::nullopt;
    bool ok = false;
    const int adresa = casti[0].toInt(&ok);
    if (!ok || adresa < 0 || adresa > 255) return std::nullopt;
    TModulSbernice modul{static_cast<std::uint8_t>(adresa), 9600};
    if (casti.size() == 2) {
        modul.Rychlost = casti[1].toInt(&ok);
        if (!ok || RadekRychlosti(modul.Rychlost) < 0) return std::nullopt;
    }
    return modul;
}

} // namespace

std::optional<std::vector<TModulSbernice>> TextNaSeznamModulu(const QString& text) {
    static const QRegularExpression oddelovace(QStringLiteral("[,\\s]+"));
    std::vector<TModulSbernice> moduly;
    for (const QString& polozka : text.split(oddelovace, Qt::SkipEmptyParts)) {
        const auto modul = CtiModulSbernice(polozka);
        if (!modul) return std::nullopt;
        moduly.push_back(*modul);
    }
    return moduly;
}

QString SeznamModuluNaText(const std::vector<TModulSbernice>& moduly) {
    QStringList polozky;
    for (const TModulSbernice& m : moduly)
        polozky << QStringLiteral("%1:%2").arg(m.Adresa).arg(m.Rychlost);
    return polozky.join(QStringLiteral(", "));
}
