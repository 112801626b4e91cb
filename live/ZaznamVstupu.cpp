#include "ZaznamVstupu.h"

#include <QIODevice>
#include <algorithm>
#include <bit>

TZaznamVstupu::TZaznamVstupu(std::size_t kapacita) : Kapacita(std::max<std::size_t>(kapacita, 1)) {}

void TZaznamVstupu::Pridej(const TVzorekVstupu& v) {
    TVzorekVstupu vzorek = v;
    if (!Vzorky.empty()) vzorek.CasMs = std::max(vzorek.CasMs, (*this)[Pocet() - 1].CasMs);
    if (Vzorky.size() < Kapacita) {
        Vzorky.push_back(vzorek);
        return;
    }
    Vzorky[Zacatek] = vzorek;
    Zacatek = (Zacatek + 1) % Kapacita;
}

void TZaznamVstupu::PridejHodnotu(std::int64_t casMs, std::uint32_t hodnota) {
    ++PocetDotazu;
    // A change across a gap is a change all the same, only its moment is
    // not known.
    if (PosledniHodnota) {
        for (std::uint32_t zmena = *PosledniHodnota ^ hodnota; zmena != 0; zmena &= zmena - 1)
            ++PocetZmen[static_cast<std::size_t>(std::countr_zero(zmena))];
    }
    PosledniHodnota = hodnota;
    Pridej({casMs, hodnota, 0, TVzorekVstupu::TDruh::Hodnota});
}

void TZaznamVstupu::PridejVypadek(std::int64_t casMs, std::uint8_t vysledek) {
    ++PocetDotazu;
    ++PocetVypadku;
    Pridej({casMs, 0, vysledek, TVzorekVstupu::TDruh::Vypadek});
}

void TZaznamVstupu::PridejPauzu(std::int64_t casMs) {
    Pridej({casMs, 0, 0, TVzorekVstupu::TDruh::Pauza});
}

void TZaznamVstupu::PridejZastaveni(std::int64_t casMs, std::uint64_t vynechano) {
    PocetDotazu += vynechano;
    PocetVypadku += vynechano;
    Pridej({casMs, 0, 0, TVzorekVstupu::TDruh::Zastaveni});
}

std::optional<std::size_t> TZaznamVstupu::PlatnyV(std::int64_t casMs) const {
    std::size_t od = 0, po = Pocet(); // the answer lies in [od - 1, po)
    while (od < po) {
        const std::size_t stred = od + (po - od) / 2;
        if ((*this)[stred].CasMs <= casMs)
            od = stred + 1;
        else
            po = stred;
    }
    if (od == 0) return std::nullopt;
    return od - 1;
}

namespace {

QByteArray Hlavicka() {
    QByteArray radek = QByteArrayLiteral("čas,hodnota");
    for (int n = 0; n < TZaznamVstupu::PocetVstupu; ++n)
        radek += ",DIN" + QByteArray::number(n);
    return radek + '\n';
}

QByteArray Radek(const TVzorekVstupu& v, const QDateTime& zacatek) {
    const QDateTime cas = zacatek.addMSecs(v.CasMs);
    QByteArray radek =
        cas.toOffsetFromUtc(cas.offsetFromUtc()).toString(Qt::ISODateWithMs).toUtf8();
    if (!v.MaHodnotu()) return radek + QByteArray(1 + TZaznamVstupu::PocetVstupu, ',') + '\n';
    radek += ",0x" + QByteArray::number(v.Hodnota, 16).toUpper().rightJustified(8, '0');
    for (int n = 0; n < TZaznamVstupu::PocetVstupu; ++n)
        radek += (v.Hodnota >> n) & 1u ? ",1" : ",0";
    return radek + '\n';
}

} // namespace

std::optional<std::size_t> ZapisCsv(const TZaznamVstupu& zaznam, const QDateTime& zacatek,
                                    QIODevice& cil) {
    if (cil.write(Hlavicka()) < 0) return std::nullopt;
    std::size_t radku = 0;
    for (std::size_t i = 0; i < zaznam.Pocet(); ++i) {
        const TVzorekVstupu& v = zaznam[i];
        if (v.Druh == TVzorekVstupu::TDruh::Pauza || v.Druh == TVzorekVstupu::TDruh::Zastaveni)
            continue;
        if (cil.write(Radek(v, zacatek)) < 0) return std::nullopt;
        ++radku;
    }
    return radku;
}
