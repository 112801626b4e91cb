#include "PanelModulu.h"

#include "Cfm.h"
#include "Ovladace.h"
#include "Prikazy.h"
#include "TextySbernice.h"
#include "VelikostOkna.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A silent module is asked every second only, so the window stays usable.
constexpr TCasRozvrhu ZalohaPanelu{1000};

std::vector<TPolozkaRozvrhu> PolozkyPanelu() {
    std::vector<TPolozkaRozvrhu> polozky;
    for (int ms : TPanelModulu::PeriodyMs)
        polozky.push_back({TCasRozvrhu(ms), 0});
    return polozky;
}

// A lamp: a named label whose background is lit while its bit is set; in a
// disabled (old) group it is greyed as the rest.
QLabel* Lampa(QWidget* rodic, const QByteArray& jmeno, const QString& text) {
    auto* lampa = Vytvor<QLabel>(rodic, jmeno.constData(), text);
    lampa->setAlignment(Qt::AlignCenter);
    lampa->setFrameShape(QFrame::Panel);
    lampa->setFrameShadow(QFrame::Sunken);
    lampa->setAutoFillBackground(true);
    lampa->setMinimumWidth(52);
    lampa->setProperty("zapnuto", false);
    return lampa;
}

void Rozsvit(QLabel* lampa, bool zapnuto) {
    if (lampa->property("zapnuto").toBool() == zapnuto) return;
    lampa->setProperty("zapnuto", zapnuto);
    QPalette p = lampa->palette();
    const QColor barva = zapnuto ? QColor(80, 200, 80) : p.color(QPalette::Base);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        p.setColor(g, QPalette::Window, barva);
    lampa->setPalette(p);
}

} // namespace

TPanelModulu::TPanelModulu(TData& data, TStatistikaSpojeni& statistika, QWidget* parent)
    : TOknoNastroje(data, "PanelModulu", QStringLiteral("Panel modulu"), parent),
      Statistika(statistika), Rozvrh(PolozkyPanelu(), ZalohaPanelu, TedRozvrhu()) {
    Label1 = Vytvor<QLabel>(this, "Label1", QString());
    Label5 = Vytvor<QLabel>(this, "Label5", QString());
    Timer1 = Vytvor<QTimer>(this, "Timer1");
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TPanelModulu::Timer1Timer);
    Rozmisti();
    ProgressBar1->hide();
}

QWidget* TPanelModulu::VytvorVstupy() {
    auto* skupina = Vytvor<QGroupBox>(this, "GroupBox1", QStringLiteral("Vstupy DIN0-31"));
    auto* svetla = Vytvor<QWidget>(skupina, "Panel1");
    auto* mrizka = new QGridLayout(svetla);
    mrizka->setContentsMargins(0, 0, 0, 0);
    for (int n = 0; n < 32; ++n) {
        Vstupy[static_cast<std::size_t>(n)] =
            Lampa(svetla, "Vstup" + QByteArray::number(n), QStringLiteral("DIN%1").arg(n));
        mrizka->addWidget(Vstupy[static_cast<std::size_t>(n)], n / 8, n % 8);
    }
    auto* sloupec = new QVBoxLayout(skupina);
    sloupec->addWidget(svetla);
    Stari[DotazVstupu] = Vytvor<QLabel>(skupina, "Stari1", QString());
    sloupec->addWidget(Stari[DotazVstupu]);
    Hodnoty[DotazVstupu] = svetla;
    return skupina;
}

QWidget* TPanelModulu::VytvorVystupy() {
    auto* skupina = Vytvor<QGroupBox>(this, "GroupBox2", QStringLiteral("Výstupy DOUT0-31"));
    skupina->setToolTip(NapovedaVystupu());
    auto* mrizka = new QGridLayout;
    for (int n = 0; n < 32; ++n) {
        auto* prepinac = Vytvor<QCheckBox>(skupina, ("Vystup" + QByteArray::number(n)).constData(),
                                           QStringLiteral("DOUT%1").arg(n));
        prepinac->setToolTip(NapovedaVystupu());
        // A click writes the whole word the switches now make.
        connect(prepinac, &QCheckBox::clicked, this, [this] {
            std::uint32_t slovo = 0;
            for (int i = 0; i < 32; ++i)
                if (Vystupy[static_cast<std::size_t>(i)]->isChecked()) slovo |= 1u << i;
            ZapisVystupy(slovo);
        });
        Vystupy[static_cast<std::size_t>(n)] = prepinac;
        mrizka->addWidget(prepinac, n / 8, n % 8);
    }
    auto* radek = new QHBoxLayout;
    auto* popisek = Vytvor<QLabel>(skupina, "Label6", QStringLiteral("&Slovo"));
    Edit1 = Vytvor<QLineEdit>(skupina, "Edit1", QStringLiteral("0x00000000"));
    Edit1->setMaxLength(12);
    Edit1->setFixedWidth(110);
    popisek->setBuddy(Edit1);
    Button1 = TlacitkoNastroje(skupina, "Button1", QStringLiteral("Za&psat"));
    Button2 = TlacitkoNastroje(skupina, "Button2", QStringLiteral("Vše v&ypnout"));
    Label4 = Vytvor<QLabel>(skupina, "Label4", TextZapsanychVystupu(std::nullopt));
    Label4->setToolTip(NapovedaVystupu());
    for (QWidget* w : std::initializer_list<QWidget*>{popisek, Edit1, Button1, Button2, Label4})
        radek->addWidget(w);
    radek->addStretch(1);
    auto* sloupec = new QVBoxLayout(skupina);
    sloupec->addLayout(mrizka);
    sloupec->addLayout(radek);
    connect(Button1, &QPushButton::clicked, this, &TPanelModulu::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPanelModulu::Button2Click);
    return skupina;
}

QWidget* TPanelModulu::VytvorStatus() {
    auto* skupina = Vytvor<QGroupBox>(this, "GroupBox3", QStringLiteral("Status registr"));
    auto* hodnoty = Vytvor<QWidget>(skupina, "Panel2");
    auto* radek = new QHBoxLayout(hodnoty);
    radek->setContentsMargins(0, 0, 0, 0);
    for (const StatusBit::TPojmenovanyBit& b : StatusBit::Nazvy) {
        QLabel* lampa =
            Lampa(hodnoty, "Bit" + QByteArray::number(b.Bit), QString::fromUtf8(b.Nazev));
        BityStatusu[static_cast<std::size_t>(b.Bit)] = lampa;
        radek->addWidget(lampa);
    }
    Label2 = Vytvor<QLabel>(hodnoty, "Label2", QString());
    radek->addWidget(Label2);
    radek->addStretch(1);
    Button3 = TlacitkoNastroje(skupina, "Button3", QStringLiteral("Vy&nulovat"));
    Stari[DotazStatusu] = Vytvor<QLabel>(skupina, "Stari2", QString());
    auto* sloupec = new QVBoxLayout(skupina);
    sloupec->addWidget(hodnoty);
    auto* dole = new QHBoxLayout;
    dole->addWidget(Button3);
    dole->addWidget(Stari[DotazStatusu], 1);
    sloupec->addLayout(dole);
    Hodnoty[DotazStatusu] = hodnoty;
    connect(Button3, &QPushButton::clicked, this, &TPanelModulu::Button3Click);
    return skupina;
}

QWidget* TPanelModulu::VytvorWatchdog() {
    auto* skupina = Vytvor<QGroupBox>(this, "GroupBox4", QStringLiteral("Watchdog"));
    Label3 = Vytvor<QLabel>(skupina, "Label3", QString());
    SpinEdit1 = Vytvor<QSpinBox>(skupina, "SpinEdit1");
    SpinEdit1->setRange(0, 65535);
    SpinEdit1->setValue(Prikaz::TestovaciCasWatchdog);
    SpinEdit1->setSuffix(QStringLiteral(" s"));
    Button4 = TlacitkoNastroje(skupina, "Button4", QStringLiteral("Nas&tavit"));
    Stari[DotazWatchdogu] = Vytvor<QLabel>(skupina, "Stari3", QString());
    auto* mrizka = new QGridLayout(skupina);
    mrizka->addWidget(Vytvor<QLabel>(skupina, "Label7", QStringLiteral("Zbývá")), 0, 0);
    mrizka->addWidget(Label3, 0, 1);
    mrizka->addWidget(SpinEdit1, 1, 0);
    mrizka->addWidget(Button4, 1, 1);
    mrizka->addWidget(Stari[DotazWatchdogu], 2, 0, 1, 2);
    Hodnoty[DotazWatchdogu] = Label3;
    connect(Button4, &QPushButton::clicked, this, &TPanelModulu::Button4Click);
    return skupina;
}

void TPanelModulu::Rozmisti() {
    QVBoxLayout* obsah = Obsah();
    PruznyPopisek(Label1);
    obsah->addWidget(Label1);
    obsah->addWidget(VytvorVstupy());
    obsah->addWidget(VytvorVystupy());
    auto* radek = new QHBoxLayout;
    radek->addWidget(VytvorStatus(), 3);
    radek->addWidget(VytvorWatchdog(), 2);
    obsah->addLayout(radek);
    obsah->addStretch(1);
    auto* dole = new QHBoxLayout;
    PruznyPopisek(Label5);
    dole->addWidget(Label5, 1);
    Button5 = TlacitkoNastroje(this, "Button5", QStringLiteral("Za&vřít"));
    dole->addWidget(Button5);
    obsah->addLayout(dole);
    connect(Button5, &QPushButton::clicked, this, &TPanelModulu::reject);
    PrizpusobVelikost(QSize(640, 560));
}

void TPanelModulu::showEvent(QShowEvent* event) {
    TOknoNastroje::showEvent(event);
    if (Timer1->isActive()) return;
    if (!Pripojeno()) {
        Label1->setText(QString());
        return;
    }
    Label1->setText(QStringLiteral("%1  %2, adresa %3, %4 Bd")
                        .arg(Data.Modul, Data.ModulDoplnek.trimmed())
                        .arg(Data.Adresa)
                        .arg(Data.Rychlost));
    ZobrazZdravi();
    Timer1->start(0);
}

void TPanelModulu::done(int vysledek) {
    Timer1->stop();
    TOknoNastroje::done(vysledek);
}

void TPanelModulu::Timer1Timer() {
    if (!PripojeniPouzitelne(&Data)) return;
    if (const auto i = Rozvrh.Dalsi(TedRozvrhu())) {
        const bool uspech = Dotaz(static_cast<int>(*i));
        Rozvrh.Hotovo(*i, uspech, TedRozvrhu());
    }
    NaplanujDalsi();
}

void TPanelModulu::NaplanujDalsi() {
    const auto za = Rozvrh.PristiTermin() - TedRozvrhu();
    Timer1->start(static_cast<int>(std::max<TCasRozvrhu::rep>(za.count(), 0)));
}

bool TPanelModulu::Dotaz(int dotaz) {
    static constexpr std::array<bool (TPanelModulu::*)(), PocetDotazu> Cteni = {
        &TPanelModulu::CtiVstupy, &TPanelModulu::CtiStatus, &TPanelModulu::CtiWatchdog};
    return (this->*Cteni[static_cast<std::size_t>(dotaz)])();
}

// The values of a poll fresh, or greyed with the time they stand from; the
// failure in the status bar until that poll succeeds again.
template <class T> bool TPanelModulu::Vysledek(int dotaz, const TVysledekPrikazu<T>& v) {
    const auto i = static_cast<std::size_t>(dotaz);
    Hodnoty[i]->setEnabled(v.Ok());
    if (v.Ok()) {
        CasCteni[i] = std::chrono::system_clock::now();
        if (!Stari[i]->text().isEmpty()) Stari[i]->clear();
        if (ChybnyDotaz == dotaz) {
            ChybnyDotaz = -1;
            ZobrazStav(QStringLiteral(" "));
        }
        return true;
    }
    Stari[i]->setText(TextStarychHodnot(CasCteni[i]));
    static constexpr std::array<std::uint8_t, PocetDotazu> Parametry = {
        Prikaz::ParDIO, Prikaz::ParStatusRegistr, Prikaz::ParCasWatchdog};
    const std::uint8_t kod = dotaz == DotazVstupu ? Prikaz::CtiVstupy : Prikaz::CtiStav;
    ChybnyDotaz = dotaz;
    ZobrazStav(u' ' + TextSelhani(kod, Parametry[i], v.Text));
    return false;
}

bool TPanelModulu::CtiVstupy() {
    const auto v = Relace().CtiVstupy();
    if (v.Ok())
        for (int n = 0; n < 32; ++n)
            Rozsvit(Vstupy[static_cast<std::size_t>(n)], ((*v.Hodnota >> n) & 1u) != 0);
    return Vysledek(DotazVstupu, v);
}

bool TPanelModulu::CtiStatus() {
    const auto v = Relace().CtiStatus();
    if (v.Ok()) {
        for (const StatusBit::TPojmenovanyBit& b : StatusBit::Nazvy)
            Rozsvit(BityStatusu[static_cast<std::size_t>(b.Bit)],
                    ((*v.Hodnota >> b.Bit) & 1u) != 0);
        Label2->setText(TextSlova(v.Hodnota));
    }
    ZobrazZdravi();
    return Vysledek(DotazStatusu, v);
}

bool TPanelModulu::CtiWatchdog() {
    const auto v = Relace().CtiWatchdog();
    if (v.Ok()) Label3->setText(TextWatchdogu(v.Hodnota));
    return Vysledek(DotazWatchdogu, v);
}

void TPanelModulu::ZobrazZdravi() {
    Label5->setText(TextZdraviSpojeni(Statistika.Souhrn()));
}

void TPanelModulu::ZobrazVystupy(std::uint32_t slovo) {
    for (int n = 0; n < 32; ++n)
        Vystupy[static_cast<std::size_t>(n)]->setChecked(((slovo >> n) & 1u) != 0);
    Edit1->setText(TextSlova(slovo));
}

void TPanelModulu::ZapisVystupy(std::uint32_t slovo) {
    if (!Pripojeno()) {
        ZobrazVystupy(Zapsano.value_or(0));
        return;
    }
    const auto v = Relace().ZapisVystupy(slovo);
    if (!v.Ok()) {
        ZobrazVystupy(Zapsano.value_or(0));
        ZobrazStav(u' ' + TextSelhani(Prikaz::ZapisVystupy, Prikaz::ParDIO, v.Text));
        return;
    }
    Zapsano = slovo;
    ZobrazVystupy(slovo);
    Label4->setText(TextZapsanychVystupu(Zapsano));
    ZobrazStav(QStringLiteral(" "));
}

void TPanelModulu::Button1Click() {
    const auto slovo = CisloBezZnamenka(Edit1->text().trimmed());
    if (!slovo) {
        ZobrazStav(QStringLiteral(" Slovo výstupů musí být číslo 0 až 0xFFFFFFFF."));
        return;
    }
    ZapisVystupy(*slovo);
}

void TPanelModulu::Button2Click() {
    ZapisVystupy(0);
}

void TPanelModulu::Button3Click() {
    if (!Pripojeno()) return;
    const auto v = Relace().NulujStatus();
    if (!v.Ok()) {
        ZobrazStav(u' ' + TextSelhani(Prikaz::ZapisStav, Prikaz::ParStatusRegistr, v.Text));
        return;
    }
    // The cleared register is shown by a poll at once.
    Rozvrh.Hned(DotazStatusu, TedRozvrhu());
    NaplanujDalsi();
}

void TPanelModulu::Button4Click() {
    if (!Pripojeno()) return;
    const auto v = Relace().NastavWatchdog(static_cast<std::uint16_t>(SpinEdit1->value()));
    if (!v.Ok()) {
        ZobrazStav(u' ' + TextSelhani(Prikaz::ZapisStav, Prikaz::ParCasWatchdog, v.Text));
        return;
    }
    Rozvrh.Hned(DotazWatchdogu, TedRozvrhu());
    NaplanujDalsi();
}
