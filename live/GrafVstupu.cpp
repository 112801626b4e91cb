#include "GrafVstupu.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <vector>

namespace {

constexpr int VyskaStop = TZaznamVstupu::PocetVstupu * TGrafVstupu::VyskaRadku;
constexpr int Nahore = 3, Dole = TGrafVstupu::VyskaRadku - 4; // the two levels in a row
constexpr int SirkaPopisku = 60;                              // a time label, right of its tick
const QColor BarvaStopy(0, 0, 160);
const QColor BarvaVypadku(255, 205, 205);
const QColor BarvaPauzy(225, 225, 225);
const QColor BarvaMrizky(235, 235, 235);
const QColor BarvaKurzoru(200, 0, 0);

std::int64_t DeleniDolu(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

int Y(int vstup) {
    return vstup * TGrafVstupu::VyskaRadku;
}

} // namespace

TGrafVstupu::TGrafVstupu(const TZaznamVstupu& zaznam, QDateTime zacatek, QWidget* rodic)
    : QWidget(rodic), Zaznam(zaznam), Zacatek(std::move(zacatek)) {
    setMinimumSize(SirkaJmen + NejmensiStopa + SirkaHodnot, Vyska);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    resize(Sirka, Vyska);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

std::int64_t TGrafVstupu::Sloupec(std::int64_t casMs) {
    return DeleniDolu(casMs * SirkaStopy, OknoMs);
}

std::int64_t TGrafVstupu::CasSloupce(std::int64_t sloupec) {
    return -DeleniDolu(-sloupec * OknoMs, SirkaStopy);
}

std::int64_t TGrafVstupu::PrvniSloupec() const {
    return Sloupec(KonecMs) - Stopa() + 1;
}

std::int64_t TGrafVstupu::ViditelnoMs() const {
    return CasSloupce(Stopa());
}

// The right edge keeps its time; the traces gain or lose columns on the left.
void TGrafVstupu::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update();
}

int TGrafVstupu::X(std::int64_t sloupec) const {
    return SirkaJmen + static_cast<int>(sloupec - PrvniSloupec());
}

QRect TGrafVstupu::OblastStop() const {
    return {SirkaJmen, 0, Stopa(), Vyska};
}

void TGrafVstupu::Posun(std::int64_t nyniMs) {
    NyniMs = nyniMs;
    if (!Sledovat) return;
    const std::int64_t posun = Sloupec(nyniMs) - Sloupec(KonecMs);
    KonecMs = nyniMs;
    if (posun <= 0) return;
    if (posun >= Stopa()) {
        update(OblastStop());
    } else {
        scroll(static_cast<int>(-posun), 0, OblastStop());
        // The cursor stays where the mouse is; its line went with the traces.
        if (KurzorX) {
            update(*KurzorX - static_cast<int>(posun), 0, 1, VyskaStop);
            update(*KurzorX, 0, 1, VyskaStop);
        }
    }
    ObnovHodnoty();
}

void TGrafVstupu::NovyVzorek(std::int64_t nyniMs) {
    Posun(nyniMs);
    if (Zaznam.Pocet() > 0) {
        // The sample before it was drawn up to the present; from the new
        // sample's column on, the new one takes over.
        ObnovSloupce(Sloupec(Zaznam[Zaznam.Pocet() - 1].CasMs), Sloupec(NyniMs));
    }
    ObnovJmena();
    ObnovHodnoty();
}

void TGrafVstupu::ZobrazDo(std::int64_t casMs) {
    Sledovat = false;
    if (casMs == KonecMs) return;
    KonecMs = casMs;
    update();
    ObnovHodnoty();
}

void TGrafVstupu::Sleduj() {
    if (Sledovat) return;
    Sledovat = true;
    KonecMs = NyniMs;
    update();
    ObnovHodnoty();
}

void TGrafVstupu::ObnovSloupce(std::int64_t od, std::int64_t po) {
    od = std::max(od, PrvniSloupec());
    po = std::min(po, Sloupec(KonecMs));
    if (od <= po) update(X(od), 0, static_cast<int>(po - od + 1), VyskaStop);
}

void TGrafVstupu::ObnovJmena() {
    for (int n = 0; n < TZaznamVstupu::PocetVstupu; ++n) {
        auto& zobrazeno = ZobrazeneZmeny[static_cast<std::size_t>(n)];
        if (zobrazeno == Zaznam.Zmeny(n)) continue;
        zobrazeno = Zaznam.Zmeny(n);
        update(0, Y(n), SirkaJmen, VyskaRadku);
    }
}

// Only the rows whose shown value changes are repainted.
void TGrafVstupu::ObnovHodnoty() {
    const std::optional<std::uint32_t> hodnoty = HodnotyVPraveSloupci();
    if (ZobrazeneHodnoty && *ZobrazeneHodnoty == hodnoty) return;
    const bool vse = !ZobrazeneHodnoty || !*ZobrazeneHodnoty || !hodnoty;
    const std::uint32_t zmena = vse ? 0xFFFFFFFFu : **ZobrazeneHodnoty ^ *hodnoty;
    ZobrazeneHodnoty.emplace(hodnoty);
    for (int n = 0; n < TZaznamVstupu::PocetVstupu; ++n) {
        if ((zmena >> n) & 1u) update(SirkaJmen + Stopa(), Y(n), SirkaHodnot, VyskaRadku);
    }
}

std::optional<std::int64_t> TGrafVstupu::CasKurzoru() const {
    if (!KurzorX) return std::nullopt;
    return CasSloupce(PrvniSloupec() + (*KurzorX - SirkaJmen));
}

// The values under the cursor, or else the newest; empty in a gap.
std::optional<std::uint32_t> TGrafVstupu::HodnotyVPraveSloupci() const {
    const std::optional<std::int64_t> kurzor = CasKurzoru();
    if (kurzor && *kurzor > NyniMs) return std::nullopt;
    const std::optional<std::size_t> i =
        kurzor ? Zaznam.PlatnyV(*kurzor)
               : (Zaznam.Pocet() > 0 ? std::optional(Zaznam.Pocet() - 1) : std::nullopt);
    if (!i || !Zaznam[*i].MaHodnotu()) return std::nullopt;
    return Zaznam[*i].Hodnota;
}

// The region is several small pieces (new columns, a name, the values);
// each is painted by itself, not their bounding rectangle.
void TGrafVstupu::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    for (const QRect& r : event->region()) {
        p.setClipRect(r);
        KresliCast(p, r);
    }
}

void TGrafVstupu::KresliCast(QPainter& p, const QRect& r) const {
    p.fillRect(r, Qt::white);
    if (r.left() < SirkaJmen) KresliJmena(p);
    const std::int64_t prvni = PrvniSloupec();
    const std::int64_t od = prvni + std::max(r.left() - SirkaJmen, 0);
    const std::int64_t po = prvni + std::min(r.right() - SirkaJmen, Stopa() - 1);
    if (od <= po) {
        // Time labels and grid lines of ticks left of the view stay out of
        // the names.
        p.setClipRect(r.intersected(OblastStop()));
        KresliOsu(p, od, po);
        KresliStopy(p, od, po);
        p.setClipRect(r);
    }
    if (r.right() >= SirkaJmen + Stopa()) KresliHodnoty(p);
    KresliKurzor(p);
}

void TGrafVstupu::KresliStopy(QPainter& p, std::int64_t od, std::int64_t po) const {
    p.setPen(BarvaMrizky);
    for (int n = 1; n <= TZaznamVstupu::PocetVstupu; ++n)
        p.drawLine(X(od), Y(n) - 1, X(po), Y(n) - 1);
    const std::int64_t konec = CasSloupce(po + 1);
    // From the sample in force just before column od: it reaches into od.
    const std::optional<std::size_t> prvni = Zaznam.PlatnyV(CasSloupce(od) - 1);
    for (std::size_t i = prvni.value_or(0); i < Zaznam.Pocet() && Zaznam[i].CasMs < konec; ++i)
        KresliVzorek(p, i, od, po);
}

// Sample i from its time to the next sample's (the newest: to the present),
// within the columns od to po.
void TGrafVstupu::KresliVzorek(QPainter& p, std::size_t i, std::int64_t od, std::int64_t po) const {
    const TVzorekVstupu& v = Zaznam[i];
    const std::int64_t zacatek = Sloupec(v.CasMs);
    const std::int64_t konec = Sloupec(i + 1 < Zaznam.Pocet() ? Zaznam[i + 1].CasMs : NyniMs);
    const int x0 = X(std::max(zacatek, od)), x1 = X(std::min(konec, po));
    if (x1 < x0) return;
    if (!v.MaHodnotu()) {
        const QColor& barva = v.Druh == TVzorekVstupu::TDruh::Pauza ? BarvaPauzy : BarvaVypadku;
        p.fillRect(x0, 0, x1 - x0 + 1, VyskaStop - 1, barva);
        return;
    }
    // An edge where the level differs from the sample just before.
    const bool hrana = zacatek >= od && i > 0 && Zaznam[i - 1].MaHodnotu();
    const std::uint32_t zmena = hrana ? v.Hodnota ^ Zaznam[i - 1].Hodnota : 0;
    std::vector<QLine> cary;
    cary.reserve(2 * TZaznamVstupu::PocetVstupu);
    for (int n = 0; n < TZaznamVstupu::PocetVstupu; ++n) {
        const int y = Y(n) + ((v.Hodnota >> n) & 1u ? Nahore : Dole);
        cary.emplace_back(x0, y, x1, y);
        if ((zmena >> n) & 1u) cary.emplace_back(x0, Y(n) + Nahore, x0, Y(n) + Dole);
    }
    p.setPen(BarvaStopy);
    p.drawLines(cary.data(), static_cast<int>(cary.size()));
}

// A tick at every second, a grid line and the clock time at every ten.
void TGrafVstupu::KresliOsu(QPainter& p, std::int64_t od, std::int64_t po) const {
    const std::int64_t nula = Zacatek.toMSecsSinceEpoch();
    const std::int64_t prvni = DeleniDolu(nula + CasSloupce(od - SirkaPopisku), 1000) + 1;
    const std::int64_t posledni = DeleniDolu(nula + CasSloupce(po + 1), 1000);
    for (std::int64_t s = prvni; s <= posledni; ++s) {
        const int x = X(Sloupec(s * 1000 - nula));
        const bool desitka = s % 10 == 0;
        p.setPen(BarvaMrizky);
        if (desitka) p.drawLine(x, 0, x, VyskaStop - 1);
        p.setPen(Qt::black);
        p.drawLine(x, VyskaStop, x, VyskaStop + (desitka ? 5 : 2));
        if (desitka) {
            const QString text = QDateTime::fromMSecsSinceEpoch(s * 1000).toString(u"HH:mm:ss");
            p.drawText(x + 2, Vyska - 3, text);
        }
    }
}

void TGrafVstupu::KresliJmena(QPainter& p) const {
    p.setPen(Qt::black);
    for (int n = 0; n < TZaznamVstupu::PocetVstupu; ++n) {
        const QRect radek(4, Y(n), SirkaJmen - 10, VyskaRadku);
        p.drawText(radek, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("DIN%1").arg(n));
        p.drawText(radek, Qt::AlignRight | Qt::AlignVCenter, QString::number(Zaznam.Zmeny(n)));
    }
}

void TGrafVstupu::KresliHodnoty(QPainter& p) const {
    const std::optional<std::uint32_t> hodnoty = HodnotyVPraveSloupci();
    p.setPen(Qt::black);
    for (int n = 0; n < TZaznamVstupu::PocetVstupu; ++n) {
        const QString text = !hodnoty               ? QStringLiteral("–")
                             : (*hodnoty >> n) & 1u ? QStringLiteral("1")
                                                    : QStringLiteral("0");
        p.drawText(QRect(SirkaJmen + Stopa(), Y(n), SirkaHodnot, VyskaRadku), Qt::AlignCenter,
                   text);
    }
}

void TGrafVstupu::KresliKurzor(QPainter& p) const {
    if (!KurzorX) return;
    p.setPen(BarvaKurzoru);
    p.drawLine(*KurzorX, 0, *KurzorX, VyskaStop - 1);
}

void TGrafVstupu::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    const bool uvnitr = x >= SirkaJmen && x < SirkaJmen + Stopa();
    const std::optional<int> novy = uvnitr ? std::optional(x) : std::nullopt;
    if (novy == KurzorX) return;
    if (KurzorX) update(*KurzorX, 0, 1, VyskaStop);
    KurzorX = novy;
    if (KurzorX) update(*KurzorX, 0, 1, VyskaStop);
    ObnovHodnoty();
    if (PriZmeneKurzoru) PriZmeneKurzoru();
}

void TGrafVstupu::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!KurzorX) return;
    update(*KurzorX, 0, 1, VyskaStop);
    KurzorX.reset();
    ObnovHodnoty();
    if (PriZmeneKurzoru) PriZmeneKurzoru();
}
