// The input timeline: one row per input with its name and number of
// changes, its level as a trace over the last minute, and on the right the
// values under the mouse cursor (or the newest ones). A failed poll is a
// shaded gap over all rows, a pause a grey one; below runs the time axis.
//
// Drawing costs only what changed: when time moves on, the traces are
// shifted by whole pixel columns and only the newly uncovered columns and
// those of the newest sample are painted; names, values and the cursor are
// repainted only when they change. Everything is drawn at columns fixed in
// time (column c covers the milliseconds from c*62.5 on), so a strip painted
// later joins what was shifted without a seam.
#pragma once

#include "ZaznamVstupu.h"

#include <QDateTime>
#include <QWidget>
#include <algorithm>
#include <array>
#include <functional>
#include <optional>

class TGrafVstupu : public QWidget {
public:
    // The scale: SirkaStopy columns of traces per OknoMs, which is what the
    // first size shows; a wider window shows more time at the same scale.
    static constexpr int OknoMs = 60000;
    static constexpr int SirkaStopy = 960;
    static constexpr int NejmensiStopa = 600; // columns at the least width
    static constexpr int SirkaJmen = 96;
    static constexpr int SirkaHodnot = 24;
    static constexpr int VyskaRadku = 15;
    static constexpr int VyskaOsy = 18;
    static constexpr int Sirka = SirkaJmen + SirkaStopy + SirkaHodnot; // at first
    static constexpr int Vyska = TZaznamVstupu::PocetVstupu * VyskaRadku + VyskaOsy;

    // `zacatek`: the wall-clock time of the record's time 0, for the axis.
    TGrafVstupu(const TZaznamVstupu& zaznam, QDateTime zacatek, QWidget* rodic);

    // The time has reached `nyniMs` (record time). When following, the view
    // ends there; the newest sample is drawn up to it.
    void Posun(std::int64_t nyniMs);
    // A sample was added; `nyniMs` as for Posun.
    void NovyVzorek(std::int64_t nyniMs);
    // Shows the minute that ends at `casMs` and stops following; Sleduj()
    // follows the present again.
    void ZobrazDo(std::int64_t casMs);
    void Sleduj();
    bool Sleduje() const { return Sledovat; }
    // The columns of traces at the present width, and the time they show.
    int Stopa() const { return std::max(width() - SirkaJmen - SirkaHodnot, 1); }
    std::int64_t ViditelnoMs() const;
    QSize sizeHint() const override { return {Sirka, Vyska}; }
    std::int64_t PravyOkraj() const { return KonecMs; }

    // The record time under the mouse, empty when the mouse is elsewhere.
    std::optional<std::int64_t> CasKurzoru() const;
    // Called whenever the cursor moves, appears or goes.
    std::function<void()> PriZmeneKurzoru;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static std::int64_t Sloupec(std::int64_t casMs);
    static std::int64_t CasSloupce(std::int64_t sloupec);
    std::int64_t PrvniSloupec() const; // the absolute column at the left edge
    int X(std::int64_t sloupec) const;
    QRect OblastStop() const;
    void ObnovSloupce(std::int64_t od, std::int64_t po); // absolute columns, inclusive
    void ObnovJmena();
    void ObnovHodnoty();
    std::optional<std::uint32_t> HodnotyVPraveSloupci() const;

    void KresliCast(QPainter& p, const QRect& r) const;
    void KresliStopy(QPainter& p, std::int64_t od, std::int64_t po) const;
    void KresliVzorek(QPainter& p, std::size_t i, std::int64_t od, std::int64_t po) const;
    void KresliOsu(QPainter& p, std::int64_t od, std::int64_t po) const;
    void KresliJmena(QPainter& p) const;
    void KresliHodnoty(QPainter& p) const;
    void KresliKurzor(QPainter& p) const;

    const TZaznamVstupu& Zaznam;
    QDateTime Zacatek;
    std::int64_t NyniMs = 0;
    std::int64_t KonecMs = 0; // the time at the right edge
    bool Sledovat = true;
    std::optional<int> KurzorX; // widget x of the mouse inside the traces
    // What the names and values show now, to repaint them only on a change.
    std::array<std::uint64_t, TZaznamVstupu::PocetVstupu> ZobrazeneZmeny{};
    std::optional<std::optional<std::uint32_t>> ZobrazeneHodnoty;
};
