// One line of short marks for what a register sequence did, in order: the
// commands the fake driver library received and what the test saw between
// them (status texts, pauses). Used by the engine and the dialog tests.
//
// Commands: "R63" read register 63 (0, 63, 63, 0, 0); "R63=7" a read that
// carries 7 (0, 63, 63, 7, 7); "W63=7" write 7 to register 63 (0, 63, 63, 7,
// 7); anything else in full, as is a wrong address or handle.
// Status texts: "c50" / "z50" progress of reading / writing, "precteno",
// "zapsano", "chyba-zapisu", "nepripojeno", "chyba5" for the fake library's
// text of code 5, "-" for " " (no message), anything else quoted.
#pragma once

#include "FakeOvladac.h"

#include <QRegularExpression>
#include <QString>
#include <string>
#include <vector>

inline std::string ZnackaPrikazu(const FakeVolani& v, std::uint32_t adresa, std::uint32_t spojeni) {
    const std::uint32_t* b = v.blok;
    const bool registr = b[2] == 0 && b[3] == 0 && b[4] == b[5] && b[6] == b[7];
    const std::string r = std::to_string(b[4]);
    const std::string h = std::to_string(b[6]);
    std::string znacka;
    if (registr && b[1] == 102) znacka = "R" + r + (b[6] == 0 ? "" : "=" + h);
    if (registr && b[1] == 103) znacka = "W" + r + "=" + h;
    if (znacka.empty()) {
        znacka = std::to_string(b[1]) + "/" + std::to_string(b[2]) + ":";
        for (int i = 3; i < 8; ++i)
            znacka += std::to_string(b[i]) + (i < 7 ? "," : "");
    }
    if (b[0] != adresa) znacka.append("@").append(std::to_string(b[0]));
    if (v.spojeni != spojeni) znacka.append("#").append(std::to_string(v.spojeni));
    return znacka;
}

inline std::string ZnackaStavu(const QString& text) {
    static const QRegularExpression prubeh(QStringLiteral(
        "^ Probíhá (čtení konfigurace z|zápis konfigurace do) modulu \\((\\d+) %\\)$"));
    static const QRegularExpression chyba(QStringLiteral("^ fake chyba (\\d+)$"));
    if (const auto m = prubeh.match(text); m.hasMatch()) {
        const QChar smer = m.captured(1).startsWith(u'č') ? u'c' : u'z';
        return (smer + m.captured(2)).toStdString();
    }
    if (const auto m = chyba.match(text); m.hasMatch())
        return "chyba" + m.captured(1).toStdString();
    const std::pair<const char*, const char*> zname[] = {
        {" Konfigurace přečtena.", "precteno"},
        {" Konfigurace zapsána.", "zapsano"},
        {" Chyba zápisu dat.", "chyba-zapisu"},
        {" Připojení k modulu není inicializováno.", "nepripojeno"},
        {" ", "-"}};
    for (const auto& [plny, kratky] : zname)
        if (text == QString::fromUtf8(plny)) return kratky;
    return QStringLiteral("'%1'").arg(text).toStdString();
}

class ZaznamSekvence {
public:
    // Without a fake library only the marks the test adds.
    ZaznamSekvence(const FakeOvladac* fake, std::uint32_t adresa, std::uint32_t spojeni)
        : fake_(fake), adresa_(adresa), spojeni_(spojeni) {
        Dohon(false);
    }

    // A mark after the commands sent so far.
    void Pridej(const std::string& znacka) {
        Dohon();
        znacky_.push_back(znacka);
    }
    void Stav(const QString& text) { Pridej(ZnackaStavu(text)); }

    std::string Text() {
        Dohon();
        std::string vse;
        for (const std::string& z : znacky_)
            vse += (vse.empty() ? "" : " ") + z;
        return vse;
    }

private:
    void Dohon(bool zapsat = true) {
        const std::vector<FakeVolani> send =
            fake_ ? fake_->Volani(FakeSend) : std::vector<FakeVolani>{};
        for (; hotovo_ < send.size(); ++hotovo_)
            if (zapsat) znacky_.push_back(ZnackaPrikazu(send[hotovo_], adresa_, spojeni_));
    }

    const FakeOvladac* fake_;
    std::uint32_t adresa_;
    std::uint32_t spojeni_;
    std::size_t hotovo_ = 0;
    std::vector<std::string> znacky_;
};
