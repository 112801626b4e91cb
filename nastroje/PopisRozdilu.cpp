#include "PopisRozdilu.h"

#include "KonfiguraceModulu.h"

#include <array>

namespace {

using TMaska = std::array<std::uint8_t, 4> TKonfigurace::*;

// How a key reads to an operator: its label and, for a mask, the record's
// mask and the channels' prefix; other keys by Hodnota.
struct TPopisKlice {
    const char* Popis;
    TMaska Maska;
    const char* Kanal;
    QString (*Hodnota)(const TKonfigurace&);
};

QString Sekund(std::uint16_t s) {
    return QStringLiteral("%1 s").arg(s);
}

const TPopisKlice& Popis(TKlicCfm klic) {
    using K = TKonfigurace;
    static const std::array<TPopisKlice, PocetKlicuCfm> popisy = {{
        {"Formát", nullptr, nullptr, [](const K&) { return QString(); }},
        {"Adresa modulu", nullptr, nullptr, [](const K& k) { return QString::number(k.Adresa); }},
        {"Komunikační rychlost", nullptr, nullptr,
         [](const K& k) {
             return k.Rychlost < PocetRychlosti ? TextRychlosti(k.Rychlost)
                                                : QStringLiteral("index %1").arg(k.Rychlost);
         }},
        {"Inicializační čas", nullptr, nullptr,
         [](const K& k) { return Sekund(k.InicializacniCas); }},
        {"Doba vypnutí relé", nullptr, nullptr,
         [](const K& k) { return Sekund(k.DobaVypnutiRele); }},
        {"Aktivace časovače", nullptr, nullptr,
         [](const K& k) {
             return k.AktivaceCasovace != 0 ? QStringLiteral("watchdog aktivován")
                                            : QStringLiteral("watchdog vypnut");
         }},
        {"Negace DIN", &K::NegaceDIN, "DIN", nullptr},
        {"Negace DOUT", &K::NegaceDOUT, "DOUT", nullptr},
        {"Počáteční stav DOUT", &K::PocatecniStavDOUT, "DOUT", nullptr},
    }};
    return popisy[static_cast<std::size_t>(klic)];
}

bool Kanal(const std::array<std::uint8_t, 4>& maska, int n) {
    return (maska[static_cast<std::size_t>(n / 8)] >> (n % 8)) & 1u;
}

// The channels as a list; three or more in a row as a range ("DIN0-DIN7").
QString SeznamKanalu(const char* predpona, const std::vector<int>& kanaly) {
    QStringList casti;
    for (std::size_t i = 0; i < kanaly.size();) {
        std::size_t j = i;
        while (j + 1 < kanaly.size() && kanaly[j + 1] == kanaly[j] + 1)
            ++j;
        const QString prvni = QLatin1String(predpona) + QString::number(kanaly[i]);
        const QString posledni = QLatin1String(predpona) + QString::number(kanaly[j]);
        if (j - i >= 2) {
            casti << prvni + u'-' + posledni;
        } else {
            for (std::size_t k = i; k <= j; ++k)
                casti << QLatin1String(predpona) + QString::number(kanaly[k]);
        }
        i = j + 1;
    }
    return casti.join(QStringLiteral(", "));
}

// The rows of a mask: the channels set in the file only, then those set in
// the module only.
void RozdilyMasky(const TPopisKlice& p, const TKonfigurace& soubor, const TKonfigurace& modul,
                  std::vector<TPopisRozdilu>& rozdily) {
    for (const bool vSouboru : {true, false}) {
        std::vector<int> kanaly;
        for (int n = 0; n < 32; ++n)
            if (Kanal(soubor.*p.Maska, n) == vSouboru && Kanal(modul.*p.Maska, n) != vSouboru)
                kanaly.push_back(n);
        if (kanaly.empty()) continue;
        rozdily.push_back(
            {QString::fromUtf8(p.Popis) + QStringLiteral(": ") + SeznamKanalu(p.Kanal, kanaly),
             vSouboru ? QStringLiteral("1") : QStringLiteral("0"),
             vSouboru ? QStringLiteral("0") : QStringLiteral("1")});
    }
}

} // namespace

std::vector<TPopisRozdilu> PopisRozdilu(const TKonfigurace& soubor, const TKonfigurace& modul,
                                        bool sAdresou) {
    std::vector<TPopisRozdilu> rozdily;
    for (const TRozdilKonfigurace& r : PorovnejKonfigurace(soubor, modul, sAdresou)) {
        const TPopisKlice& p = Popis(r.Klic);
        if (p.Maska != nullptr) {
            RozdilyMasky(p, soubor, modul, rozdily);
            continue;
        }
        rozdily.push_back({QString::fromUtf8(p.Popis), p.Hodnota(soubor), p.Hodnota(modul)});
    }
    return rozdily;
}

QString TextRozdilu(const TPopisRozdilu& r) {
    return QStringLiteral("%1: soubor %2, modul %3").arg(r.Co, r.VSouboru, r.VModulu);
}
