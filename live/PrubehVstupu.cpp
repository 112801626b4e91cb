#include "PrubehVstupu.h"

#include "ObycejnySoubor.h"

#include "Ovladace.h"
#include "Prikazy.h"
#include "VelikostOkna.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The scroll bar counts in seconds of the view's right edge, so that it
// changes once a second, not at every poll.
constexpr int KrokPosuvniku = 1000;
// How often the counts of polls and failed polls are written out.
constexpr int ObnovaPoctu = 1000;
// Below this period the polls move the view on often enough by themselves.
constexpr int PosunPohleduMs = 250;

QString TextPeriody(int ms) {
    return ms < 1000 ? QStringLiteral("%1 ms").arg(ms) : QStringLiteral("%1 s").arg(ms / 1000);
}

QString Hex32(std::uint32_t hodnota) {
    return QStringLiteral("0x") + QString::number(hodnota, 16).toUpper().rightJustified(8, u'0');
}

} // namespace

TPrubehVstupu::TPrubehVstupu(TData* data, QWidget* parent)
    : TZiveOkno(data, parent), Hodiny([this] { return Spusteno.elapsed(); }),
      Zacatek(QDateTime::currentDateTime()) {
    Spusteno.start();
    setObjectName(QStringLiteral("PrubehVstupu"));
    setWindowTitle(QStringLiteral("Průběh vstupů"));
    VytvorOvladace();
    RozmistiOvladace();
    VytvorCasovac(PeriodyMs[VychoziPerioda], false);
    Timer2 = Vytvor<QTimer>(this, "Timer2");
    Timer2->setInterval(PosunPohleduMs);
    connect(Timer2, &QTimer::timeout, this, &TPrubehVstupu::Timer2Timer);
    ObnovPocty(true);
}

void TPrubehVstupu::VytvorOvladace() {
    Label1 = Vytvor<QLabel>(this, "Label1", QStringLiteral("Perioda &dotazu:"));
    ComboBox1 = Vytvor<QComboBox>(this, "ComboBox1");
    for (int ms : PeriodyMs)
        ComboBox1->addItem(TextPeriody(ms));
    ComboBox1->setCurrentIndex(VychoziPerioda);
    Label1->setBuddy(ComboBox1);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TPrubehVstupu::ComboBox1Change);
    Button1 = Vytvor<QPushButton>(this, "Button1", QStringLiteral("&Pozastavit"));
    connect(Button1, &QPushButton::clicked, this, &TPrubehVstupu::Button1Click);
    Button2 = Vytvor<QPushButton>(this, "Button2", QStringLiteral("Uložit &CSV…"));
    connect(Button2, &QPushButton::clicked, this, &TPrubehVstupu::Button2Click);
    Label2 = Vytvor<QLabel>(this, "Label2");
    Graf1 = new TGrafVstupu(Vzorky, Zacatek, this);
    Graf1->setObjectName(QStringLiteral("Graf1"));
    Graf1->PriZmeneKurzoru = [this] { ObnovKurzor(); };
    ScrollBar1 = Vytvor<QScrollBar>(this, "ScrollBar1", Qt::Horizontal);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setRange(0, 0);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TPrubehVstupu::ScrollBar1Change);
    Label3 = Vytvor<QLabel>(this, "Label3");
    Button3 = Vytvor<QPushButton>(this, "Button3", QStringLiteral("&Zavřít"));
    connect(Button3, &QPushButton::clicked, this, &TPrubehVstupu::Button3Click);
    for (QPushButton* tlacitko : {Button1, Button2, Button3})
        tlacitko->setAutoDefault(false);
}

// The traces take what the window grows by; the scroll bar runs under them.
void TPrubehVstupu::RozmistiOvladace() {
    QVBoxLayout* obsah = RozlozeniObsahu(this);
    auto* nahore = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, ComboBox1, Button1, Button2})
        nahore->addWidget(w);
    nahore->addSpacing(16);
    PruznyPopisek(Label2);
    nahore->addWidget(Label2, 1);
    obsah->addLayout(nahore);
    obsah->addWidget(Graf1, 1);
    auto* posuvnik = new QHBoxLayout;
    posuvnik->addSpacing(TGrafVstupu::SirkaJmen);
    posuvnik->addWidget(ScrollBar1, 1);
    posuvnik->addSpacing(TGrafVstupu::SirkaHodnot);
    obsah->addLayout(posuvnik);
    auto* dole = new QHBoxLayout;
    PruznyPopisek(Label3);
    dole->addWidget(Label3, 1);
    dole->addWidget(Button3);
    obsah->addLayout(dole);
    obsah->addStretch(0);
    PrizpusobivaVelikost(this, QSize(TGrafVstupu::Sirka + 24, 640), Data);
}

void TPrubehVstupu::showEvent(QShowEvent* event) {
    TZiveOkno::showEvent(event);
    if (!Pauza) SpustCasovace();
}

void TPrubehVstupu::done(int vysledek) {
    Timer2->stop();
    TZiveOkno::done(vysledek);
}

void TPrubehVstupu::SpustCasovace() {
    if (!Timer1->isActive()) Timer1->start();
    if (Timer1->interval() > PosunPohleduMs && !Timer2->isActive()) Timer2->start();
}

void TPrubehVstupu::Timer1Timer() {
    if (Data == nullptr || Pauza || !TikMuzePokracovat()) return;
    // "Pozastavit" may have been pressed during the last transaction.
    if (Pauza || !Pripojeno()) return;
    const std::int64_t cas = Cas();
    ZapisZastaveni(cas);
    const TOdpovedModulu odpoved = Posli(Prikaz::CtiVstupy, Prikaz::ParDIO);
    if (odpoved.Ok())
        Vzorky.PridejHodnotu(cas, odpoved.Slovo());
    else
        Vzorky.PridejVypadek(cas, odpoved.Vysledek);
    KonecDotazu = Cas();
    PeriodaKontroly = Timer1->interval();
    Graf1->NovyVzorek(Cas());
    ZobrazVysledek(odpoved);
    ObnovPocty();
    ObnovPosuvnik();
    ObnovKurzor();
}

// More than two periods from the end of the last poll to this one: the
// level then was not measured, so the time from one period after that poll
// is a gap, counted as the polls it missed.
void TPrubehVstupu::ZapisZastaveni(std::int64_t cas) {
    if (!KonecDotazu || PeriodaKontroly <= 0) return;
    const std::int64_t mezera = cas - *KonecDotazu;
    if (mezera <= 2 * PeriodaKontroly) return;
    Vzorky.PridejZastaveni(*KonecDotazu + PeriodaKontroly,
                           static_cast<std::uint64_t>(mezera / PeriodaKontroly - 1));
}

void TPrubehVstupu::Timer2Timer() {
    Graf1->Posun(Cas());
    ObnovPosuvnik();
    ObnovKurzor();
}

// A pause is kept as a gap, so that the level before it is not drawn
// across it.
void TPrubehVstupu::Button1Click() {
    Pauza = !Pauza;
    Button1->setText(Pauza ? QStringLiteral("&Pokračovat") : QStringLiteral("&Pozastavit"));
    if (Pauza) {
        Timer1->stop();
        Timer2->stop();
        Vzorky.PridejPauzu(Cas());
        KonecDotazu.reset(); // a pause is no stall
        Graf1->NovyVzorek(Cas());
        ObnovPocty(true);
    } else {
        Graf1->Posun(Cas());
        SpustCasovace();
    }
}

void TPrubehVstupu::Button2Click() {
    const QString navrh =
        QStringLiteral("prubeh-vstupu-%1.csv")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    // The question before replacing names the file replaced, not a link to it.
    const QString cesta = QFileDialog::getSaveFileName(this, QStringLiteral("Uložit průběh vstupů"),
                                                       navrh, QStringLiteral("CSV (*.csv)"),
                                                       nullptr, QFileDialog::DontConfirmOverwrite);
    if (!cesta.isEmpty() && PotvrdNahrazeni(this, cesta)) UlozCsv(cesta);
}

void TPrubehVstupu::Button3Click() {
    reject();
}

void TPrubehVstupu::ComboBox1Change() {
    const int index = ComboBox1->currentIndex();
    if (index < 0 || index >= static_cast<int>(PeriodyMs.size())) return;
    const bool bezel = Timer1->isActive();
    PeriodaKontroly = std::max(Timer1->interval(), PeriodyMs[static_cast<std::size_t>(index)]);
    Timer1->setInterval(PeriodyMs[static_cast<std::size_t>(index)]);
    Timer2->stop();
    if (bezel) SpustCasovace();
}

// Only a regular file (or a link to one that may be followed) is replaced;
// a device, a directory, a FIFO or another user's link in a shared folder is
// refused before anything is written.
bool TPrubehVstupu::UlozCsv(const QString& cesta) {
    if (const QString proc = NeniSouborem(cesta); !proc.isEmpty()) {
        ZobrazStav(QStringLiteral(" Soubor %1: %2, nic nebylo uloženo.").arg(cesta, proc));
        return false;
    }
    QSaveFile soubor(CilZapisu(cesta));
    std::optional<std::size_t> radku;
    if (soubor.open(QIODevice::WriteOnly)) radku = ZapisCsv(Vzorky, Zacatek, soubor);
    if (!radku || !soubor.commit()) {
        ZobrazStav(QStringLiteral(" Nelze uložit soubor %1: %2").arg(cesta, soubor.errorString()));
        return false;
    }
    ZobrazStav(QStringLiteral(" Uloženo %1 řádků do souboru %2").arg(*radku).arg(cesta));
    return true;
}

// The scroll bar spans what is kept; at its right end the view follows the
// present.
void TPrubehVstupu::ObnovPosuvnik() {
    const int nyni = static_cast<int>(Cas() / KrokPosuvniku);
    const int nejstarsi =
        Vzorky.Pocet() > 0 ? static_cast<int>(Vzorky[0].CasMs / KrokPosuvniku) : nyni;
    const int stranka = static_cast<int>(Graf1->ViditelnoMs() / KrokPosuvniku);
    const int od = std::min(nejstarsi + stranka, nyni);
    if (ScrollBar1->minimum() == od && ScrollBar1->maximum() == nyni &&
        ScrollBar1->pageStep() == stranka)
        return;
    NastavujePosuvnik = true;
    ScrollBar1->setPageStep(stranka);
    ScrollBar1->setRange(od, nyni);
    if (Graf1->Sleduje()) ScrollBar1->setValue(nyni);
    NastavujePosuvnik = false;
}

void TPrubehVstupu::ScrollBar1Change(int hodnota) {
    if (NastavujePosuvnik) return;
    if (hodnota >= ScrollBar1->maximum())
        Graf1->Sleduj();
    else
        Graf1->ZobrazDo(static_cast<std::int64_t>(hodnota) * KrokPosuvniku);
    ObnovKurzor();
}

// Written once a second while polling, at once when asked for.
void TPrubehVstupu::ObnovPocty(bool hned) {
    if (!hned && CasPoctu.isValid() && CasPoctu.elapsed() < ObnovaPoctu) return;
    CasPoctu.start();
    const std::uint64_t vypadku = Vzorky.Vypadku();
    const std::uint64_t dotazu = Vzorky.Dotazu();
    QString text = QStringLiteral("Dotazů: %1   výpadků: %2").arg(dotazu).arg(vypadku);
    if (dotazu > 0)
        text += QStringLiteral(" (%1 %)").arg(
            CeskeCislo(100.0 * static_cast<double>(vypadku) / static_cast<double>(dotazu), 1));
    NastavText(Label2, text);
}

void TPrubehVstupu::ObnovKurzor() {
    const std::optional<std::int64_t> cas = Graf1->CasKurzoru();
    if (!cas) return NastavText(Label3, QString());
    QString text = QStringLiteral("Kurzor: ") +
                   Zacatek.addMSecs(*cas).toString(QStringLiteral("HH:mm:ss.zzz")) +
                   QStringLiteral("   ");
    const std::optional<std::size_t> i = *cas <= Cas() ? Vzorky.PlatnyV(*cas) : std::nullopt;
    if (!i) {
        text += QStringLiteral("bez záznamu");
    } else if (const TVzorekVstupu& v = Vzorky[*i]; v.MaHodnotu()) {
        text += QStringLiteral("DIN31…DIN0 = ") + Hex32(v.Hodnota);
    } else if (v.Druh == TVzorekVstupu::TDruh::Pauza) {
        text += QStringLiteral("pozastaveno");
    } else if (v.Druh == TVzorekVstupu::TDruh::Zastaveni) {
        text += QStringLiteral("bez dotazu (program nedotazoval), počítáno jako výpadky");
    } else {
        text += QStringLiteral("výpadek: ") + TextKodu(Data->Rozhrani, v.Vysledek);
    }
    NastavText(Label3, text);
}

void TPrubehVstupu::NastavText(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}
