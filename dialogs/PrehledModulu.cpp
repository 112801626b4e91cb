#include "PrehledModulu.h"

#include "Ovladace.h"
#include "PanelModulu.h"
#include "Prevod.h"
#include "Texty.h"
#include "TextySbernice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int NejkratsiPerioda = 100, NejdelsiPerioda = 60000;

QStringList TextyRadku(const TRadekPrehledu& r) {
    return {QString::number(r.Modul.Adresa),
            QString::number(r.Modul.Rychlost),
            TextStavuModulu(r),
            TextIdentifikaceModulu(r),
            TextSlova(r.Vstupy),
            TextBituStatusu(r.Status),
            TextWatchdogu(r.Watchdog),
            TextZdraviModulu(r),
            TextChybyModulu(r)};
}

} // namespace

TPrehledModulu::TPrehledModulu(TData& data, TStatistikaSpojeni& statistika,
                               const std::vector<TModulSbernice>& posledniSken, QWidget* parent)
    : TOknoNastroje(data, "PrehledSbernice", QStringLiteral("Přehled sběrnice"), parent),
      Statistika(statistika), PosledniSken(posledniSken) {
    OtevriPanel = [](TPrehledModulu& okno) {
        TPanelModulu panel(okno.Data, okno.Statistika, &okno);
        panel.exec();
    };
    Timer1 = Vytvor<QTimer>(this, "Timer1");
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TPrehledModulu::Timer1Timer);
    Rozmisti();
    ProgressBar1->hide();
    NovySeznam();
}

void TPrehledModulu::Rozmisti() {
    auto* radek = new QHBoxLayout;
    auto* adresa = Vytvor<QLabel>(this, "Label1", QStringLiteral("&Adresa"));
    Edit1 = Vytvor<QLineEdit>(this, "Edit1", QStringLiteral("1"));
    Edit1->setFixedWidth(50);
    adresa->setBuddy(Edit1);
    auto* rychlost = Vytvor<QLabel>(this, "Label2", QStringLiteral("&Rychlost"));
    ComboBox1 = Vytvor<QComboBox>(this, "ComboBox1");
    for (int i = 0; i < PocetRychlosti; ++i)
        ComboBox1->addItem(TextRychlosti(i));
    ComboBox1->setCurrentIndex(RychlostNaIndex(Data.Rychlost));
    rychlost->setBuddy(ComboBox1);
    Button1 = TlacitkoNastroje(this, "Button1", QStringLiteral("&Přidat"));
    Button2 = TlacitkoNastroje(this, "Button2", QStringLiteral("Z posledního &hledání"));
    auto* perioda = Vytvor<QLabel>(this, "Label3", QStringLiteral("Perio&da"));
    SpinEdit1 = Vytvor<QSpinBox>(this, "SpinEdit1");
    SpinEdit1->setRange(NejkratsiPerioda, NejdelsiPerioda);
    SpinEdit1->setSingleStep(100);
    SpinEdit1->setSuffix(QStringLiteral(" ms"));
    SpinEdit1->setValue(std::clamp(Data.PeriodaPrehledu, NejkratsiPerioda, NejdelsiPerioda));
    perioda->setBuddy(SpinEdit1);
    for (QWidget* w : std::initializer_list<QWidget*>{adresa, Edit1, rychlost, ComboBox1, Button1,
                                                      Button2, perioda, SpinEdit1})
        radek->addWidget(w);
    radek->addStretch(1);
    QVBoxLayout* obsah = Obsah();
    obsah->addLayout(radek);
    StringGrid1 = TabulkaNastroje(
        this, "StringGrid1",
        {QStringLiteral("Adresa"), QStringLiteral("Rychlost"), QStringLiteral("Stav"),
         QStringLiteral("Identifikace"), QStringLiteral("Vstupy"), QStringLiteral("Status"),
         QStringLiteral("Watchdog"), QStringLiteral("Zdraví"), QStringLiteral("Poslední chyba")});
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    obsah->addWidget(StringGrid1, 1);
    auto* tlacitka = new QHBoxLayout;
    Button3 = TlacitkoNastroje(this, "Button3", QStringLiteral("&Odebrat"));
    Button4 = TlacitkoNastroje(this, "Button4", QStringLiteral("Pa&nel modulu"));
    Button5 = TlacitkoNastroje(this, "Button5", QStringLiteral("Za&vřít"));
    for (QPushButton* b : {Button3, Button4})
        tlacitka->addWidget(b);
    tlacitka->addStretch(1);
    tlacitka->addWidget(Button5);
    obsah->addLayout(tlacitka);
    connect(Button1, &QPushButton::clicked, this, &TPrehledModulu::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPrehledModulu::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TPrehledModulu::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TPrehledModulu::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TPrehledModulu::reject);
    connect(SpinEdit1, &QSpinBox::editingFinished, this, &TPrehledModulu::SpinEdit1Change);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &TPrehledModulu::Button4Click);
    PrizpusobVelikost(QSize(980, 420));
}

// A new list or period: the polling starts afresh; the line stays where it
// runs, and the next module sets it if it needs another rate.
void TPrehledModulu::NovySeznam() {
    const std::int32_t linka = Prehled_ ? Prehled_->Linka() : Data.Rychlost;
    Prehled_.emplace(Data, Data.Sbernice, Data.PeriodaPrehledu);
    Prehled_->LinkaNa(linka);
    StringGrid1->setRowCount(0);
    for (const TRadekPrehledu& r : Prehled_->Radky())
        PridejRadek(StringGrid1, TextyRadku(r));
    if (isVisible()) Naplanuj();
}

void TPrehledModulu::showEvent(QShowEvent* event) {
    TOknoNastroje::showEvent(event);
    if (!event->spontaneous()) Naplanuj();
}

void TPrehledModulu::Naplanuj() {
    Timer1->stop();
    if (!Pripojeno()) return;
    if (Prehled_->Radky().empty()) {
        ZobrazStav(QStringLiteral(" Přidejte moduly: adresu a rychlost, nebo z posledního "
                                  "hledání."));
        return;
    }
    const auto za = Prehled_->PristiTermin() - TedRozvrhu();
    Timer1->start(static_cast<int>(std::max<TCasRozvrhu::rep>(za.count(), 0)));
}

void TPrehledModulu::done(int vysledek) {
    Timer1->stop();
    if (Prehled_ && PripojeniPouzitelne(&Data)) Prehled_->ObnovLinku();
    TOknoNastroje::done(vysledek);
}

void TPrehledModulu::Timer1Timer() {
    if (const auto i = Prehled_->Krok()) {
        ZobrazRadek(*i);
        if (Stav() != QStringLiteral(" ")) ZobrazStav(QStringLiteral(" "));
    }
    Naplanuj();
}

void TPrehledModulu::ZobrazRadek(std::size_t i) {
    const TRadekPrehledu& r = Prehled_->Radky()[i];
    const QStringList texty = TextyRadku(r);
    const int radek = static_cast<int>(i);
    // A module that does not answer stands out.
    const QBrush pozadi = r.Odpovida || r.Dotazu == 0 ? QBrush() : QBrush(QColor(255, 210, 210));
    for (int s = 0; s < PocetSloupcu; ++s) {
        QTableWidgetItem* polozka = StringGrid1->item(radek, s);
        if (polozka->text() != texty[s]) polozka->setText(texty[s]);
        if (polozka->background() != pozadi) polozka->setBackground(pozadi);
    }
    // The last error stays readable where the table is too narrow for it.
    QTableWidgetItem* stav = StringGrid1->item(radek, SloupecStav);
    if (stav->toolTip() != texty[SloupecChyba]) stav->setToolTip(texty[SloupecChyba]);
}

void TPrehledModulu::Pridej(const TModulSbernice& m) {
    if (std::find(Data.Sbernice.begin(), Data.Sbernice.end(), m) != Data.Sbernice.end()) return;
    Data.Sbernice.push_back(m);
}

void TPrehledModulu::Button1Click() {
    const auto adresa = TextNaCislo(Edit1->text().trimmed());
    if (!adresa || *adresa < 0 || *adresa > 255) {
        ZobrazStav(QStringLiteral(" Adresa modulu musí být v rozsahu 0-255."));
        return;
    }
    const TModulSbernice m{static_cast<std::uint8_t>(*adresa),
                           IndexNaRychlost(static_cast<std::uint8_t>(ComboBox1->currentIndex()))};
    Pridej(m);
    NovySeznam();
}

void TPrehledModulu::Button2Click() {
    if (PosledniSken.empty()) {
        ZobrazStav(QStringLiteral(" Hledání modulů zatím žádný modul nenašlo."));
        return;
    }
    for (const TModulSbernice& m : PosledniSken)
        Pridej(m);
    NovySeznam();
}

void TPrehledModulu::Button3Click() {
    const int radek = StringGrid1->currentRow();
    if (radek < 0 || radek >= static_cast<int>(Data.Sbernice.size())) {
        ZobrazStav(QStringLiteral(" Vyberte modul v tabulce."));
        return;
    }
    Data.Sbernice.erase(Data.Sbernice.begin() + radek);
    NovySeznam();
}

void TPrehledModulu::SpinEdit1Change() {
    if (Data.PeriodaPrehledu == SpinEdit1->value()) return;
    Data.PeriodaPrehledu = SpinEdit1->value();
    NovySeznam();
}

void TPrehledModulu::Button4Click() {
    const int radek = StringGrid1->currentRow();
    if (radek < 0 || radek >= static_cast<int>(Data.Sbernice.size())) {
        ZobrazStav(QStringLiteral(" Vyberte modul v tabulce."));
        return;
    }
    if (!Pripojeno()) return;
    Timer1->stop();
    const TModulSbernice m = Data.Sbernice[static_cast<std::size_t>(radek)];
    TRelaceModulu relace(Data);
    std::uint32_t kod = relace.NastavLinku(m.Rychlost);
    if (kod != 0) {
        Prehled_->LinkaNa(0);
        ZobrazStav(RadekNastaveniLinky(Data.Rozhrani, m.Rychlost, kod));
        return Naplanuj();
    }
    Prehled_->LinkaNa(m.Rychlost);
    relace.NastavAdresu(m.Adresa);
    const TIdentifikace id = relace.Identifikuj();
    if (!id.Ok()) {
        ZobrazStav(QStringLiteral(" Identifikace modulu na adrese %1, %2 Bd: %3")
                       .arg(m.Adresa)
                       .arg(m.Rychlost)
                       .arg(TextKodu(Data.Rozhrani, id.Vysledek)));
        return Naplanuj();
    }
    PrevezmiModul(Data, m.Adresa, m.Rychlost, id);
    if (OtevriPanel) OtevriPanel(*this);
    Naplanuj();
}
