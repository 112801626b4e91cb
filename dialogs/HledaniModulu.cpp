#include "HledaniModulu.h"

#include "Ovladace.h"
#include "Prevod.h"
#include "Texty.h"
#include "VelikostOkna.h"
#include "Xxxx683.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int NejvyssiAdresa = 255;

std::optional<int> Adresa(const QLineEdit* edit) {
    const auto v = TextNaCislo(edit->text().trimmed());
    if (!v || *v < 0 || *v > NejvyssiAdresa) return std::nullopt;
    return static_cast<int>(*v);
}

} // namespace

THledaniModulu::THledaniModulu(TData& data, QWidget* parent)
    : THledaniModulu(data, VlastniSken, parent) {}

THledaniModulu::THledaniModulu(TData& data, std::vector<TModulSbernice>& posledniSken,
                               QWidget* parent)
    : TOknoNastroje(data, "HledaniModulu", QStringLiteral("Hledání modulů na sběrnici"), parent),
      PosledniSken(posledniSken) {
    VytvorOvladace();
    RozmistiOvladace();
    connect(Button1, &QPushButton::clicked, this, &THledaniModulu::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &THledaniModulu::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &THledaniModulu::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &THledaniModulu::reject);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &THledaniModulu::Button3Click);
    PriPraci(false);
}

void THledaniModulu::VytvorOvladace() {
    Vytvor<QLabel>(this, "Label1", QStringLiteral("&Adresy od"));
    Vytvor<QLabel>(this, "Label2", QStringLiteral("d&o"));
    Edit1 = Vytvor<QLineEdit>(this, "Edit1", QStringLiteral("0"));
    Edit2 = Vytvor<QLineEdit>(this, "Edit2", QString::number(NejvyssiAdresa));
    auto* skupina = Vytvor<QGroupBox>(this, "GroupBox1", QStringLiteral("Komunikační rychlosti"));
    for (int i = 0; i < PocetRychlosti; ++i) {
        const QByteArray jmeno = QByteArray("CheckBox") + QByteArray::number(i + 1);
        auto* box = Vytvor<QCheckBox>(skupina, jmeno.constData(), TextRychlosti(i));
        box->setChecked(IndexNaRychlost(static_cast<std::uint8_t>(i)) == Data.Rychlost);
        Rychlosti[static_cast<std::size_t>(i)] = box;
    }
    Label3 = Vytvor<QLabel>(this, "Label3", QString());
    StringGrid1 = TabulkaNastroje(this, "StringGrid1",
                                  {QStringLiteral("Adresa"), QStringLiteral("Rychlost"),
                                   QStringLiteral("Název"), QStringLiteral("Verze"),
                                   QStringLiteral("Doplněk")});
    Vytvor<QLabel>(this, "Label4",
                   QStringLiteral("Nepotvrzené odpovědi (kolize, poškozené odpovědi)"));
    ListBox1 = Vytvor<QListWidget>(this, "ListBox1");
    Button1 = TlacitkoNastroje(this, "Button1", QStringLiteral("&Hledat"));
    Button2 = TlacitkoNastroje(this, "Button2", QStringLiteral("&Zastavit"));
    Button3 = TlacitkoNastroje(this, "Button3", QStringLiteral("&Použít"));
    Button4 = TlacitkoNastroje(this, "Button4", QStringLiteral("Za&vřít"));
}

void THledaniModulu::RozmistiOvladace() {
    QVBoxLayout* obsah = RozlozeniObsahu(this);
    auto* adresy = new QHBoxLayout;
    adresy->addWidget(findChild<QLabel*>(QStringLiteral("Label1")));
    adresy->addWidget(Edit1);
    adresy->addWidget(findChild<QLabel*>(QStringLiteral("Label2")));
    adresy->addWidget(Edit2);
    adresy->addStretch(1);
    for (QLineEdit* edit : {Edit1, Edit2})
        edit->setFixedWidth(60);
    findChild<QLabel*>(QStringLiteral("Label1"))->setBuddy(Edit1);
    findChild<QLabel*>(QStringLiteral("Label2"))->setBuddy(Edit2);
    obsah->addLayout(adresy);
    auto* skupina = findChild<QGroupBox*>(QStringLiteral("GroupBox1"));
    auto* mrizka = new QGridLayout(skupina);
    for (int i = 0; i < PocetRychlosti; ++i)
        mrizka->addWidget(Rychlosti[static_cast<std::size_t>(i)], i / 5, i % 5);
    obsah->addWidget(skupina);
    obsah->addWidget(ProgressBar1);
    PruznyPopisek(Label3);
    obsah->addWidget(Label3);
    obsah->addWidget(StringGrid1, 3);
    obsah->addWidget(findChild<QLabel*>(QStringLiteral("Label4")));
    obsah->addWidget(ListBox1, 1);
    auto* tlacitka = new QHBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button3, Button4})
        tlacitka->addWidget(b);
    tlacitka->addStretch(1);
    obsah->addLayout(tlacitka);
    PrizpusobivaVelikost(this, QSize(640, 600), &Data);
}

void THledaniModulu::PriPraci(bool bezi) {
    for (QWidget* w : std::initializer_list<QWidget*>{Edit1, Edit2, Button1, Button3})
        w->setEnabled(!bezi);
    for (QCheckBox* box : Rychlosti)
        box->setEnabled(!bezi);
    Button2->setEnabled(bezi);
}

std::optional<std::vector<std::uint8_t>> THledaniModulu::Adresy() {
    const auto od = Adresa(Edit1), po = Adresa(Edit2);
    if (!od || !po) {
        ZobrazStav(QStringLiteral(" Adresa modulu musí být v rozsahu 0-255."));
        return std::nullopt;
    }
    if (*od > *po) {
        ZobrazStav(QStringLiteral(" První adresa je větší než poslední."));
        return std::nullopt;
    }
    std::vector<std::uint8_t> adresy;
    for (int a = *od; a <= *po; ++a)
        adresy.push_back(static_cast<std::uint8_t>(a));
    return adresy;
}

std::vector<std::int32_t> THledaniModulu::VybraneRychlosti() const {
    std::vector<std::int32_t> vybrane;
    for (int i = 0; i < PocetRychlosti; ++i)
        if (Rychlosti[static_cast<std::size_t>(i)]->isChecked())
            vybrane.push_back(IndexNaRychlost(static_cast<std::uint8_t>(i)));
    return vybrane;
}

void THledaniModulu::Button1Click() {
    if (Bezi() || !Pripojeno()) return;
    const auto adresy = Adresy();
    if (!adresy) return;
    const std::vector<std::int32_t> rychlosti = VybraneRychlosti();
    if (rychlosti.empty()) {
        ZobrazStav(QStringLiteral(" Vyberte alespoň jednu komunikační rychlost."));
        return;
    }
    Nalezene.clear();
    StringGrid1->setRowCount(0);
    ListBox1->clear();
    TSken sken(Data, *adresy, rychlosti);
    Spust([&] { Skenuj(sken); });
}

void THledaniModulu::Skenuj(TSken& sken) {
    ZacniPrubeh(sken.Stav().Celkem);
    ZobrazPrubeh(sken);
    ZobrazStav(QStringLiteral(" Probíhá hledání modulů na sběrnici…"));
    // One probe at a time; between probes the window handles its events, and
    // "Zastavit" or closing ends the scan before the next one.
    while (sken.Krok()) {
        ZobrazPrubeh(sken);
        if (!Pokracovat()) sken.Zastav();
    }
    ZobrazPrubeh(sken);
    PosledniSken.clear();
    for (const TNalezenyModul& m : sken.Vysledek().Moduly)
        PosledniSken.push_back({m.Adresa, m.Rychlost});
    // The line failing during the scan is the news; else a failure to set
    // it back is.
    if (NastavLinku(Data.Rychlost) || sken.Vysledek().KodLinky != 0)
        ZobrazVysledek(sken.Vysledek(), sken.Stav().Celkem);
}

void THledaniModulu::ZobrazPrubeh(const TSken& sken) {
    const TStavSkenu& s = sken.Stav();
    ProgressBar1->setValue(s.Hotovo);
    Label3->setText(QStringLiteral("Sond %1 z %2, nalezeno %3, zbývá asi %4")
                        .arg(s.Hotovo)
                        .arg(s.Celkem)
                        .arg(s.Nalezeno)
                        .arg(TextCasu(s.Zbyva)));
    const std::vector<TNalezenyModul>& moduly = sken.Vysledek().Moduly;
    for (std::size_t i = Nalezene.size(); i < moduly.size(); ++i) {
        const TNalezenyModul& m = moduly[i];
        PridejRadek(StringGrid1, {QString::number(m.Adresa), QString::number(m.Rychlost),
                                  m.Id.Nazev, m.Id.Verze, m.Id.Doplnek});
        Nalezene.push_back(m);
    }
    const std::vector<TNepotvrzenaOdpoved>& nepotvrzene = sken.Vysledek().Nepotvrzene;
    for (auto i = static_cast<std::size_t>(ListBox1->count()); i < nepotvrzene.size(); ++i)
        ListBox1->addItem(TextNepotvrzene(Data.Rozhrani, nepotvrzene[i]));
}

void THledaniModulu::ZobrazVysledek(const TVysledekSkenu& v, int celkem) {
    if (v.KodLinky != 0) {
        ZobrazStav(RadekNastaveniLinky(Data.Rozhrani, v.RychlostLinky, v.KodLinky));
        return;
    }
    ZobrazStav(u' ' + TextSouhrnuSkenu(v, celkem));
    if (StringGrid1->rowCount() > 0) StringGrid1->selectRow(0);
}

void THledaniModulu::Button2Click() {
    Zastav();
}

// The line at a rate with the wait value a connection at that rate has; the
// library's text in the status bar when it fails.
bool THledaniModulu::NastavLinku(std::int32_t rychlost) {
    const std::uint32_t kod = Relace().NastavLinku(rychlost);
    if (kod == 0) return true;
    ZobrazStav(RadekNastaveniLinky(Data.Rozhrani, rychlost, kod));
    return false;
}

void THledaniModulu::Button3Click() {
    if (Bezi()) return;
    const int radek = StringGrid1->currentRow();
    if (radek < 0 || radek >= static_cast<int>(Nalezene.size())) {
        ZobrazStav(QStringLiteral(" Vyberte modul v tabulce."));
        return;
    }
    if (!Pripojeno()) return;
    const TNalezenyModul m = Nalezene[static_cast<std::size_t>(radek)];
    if (!NastavLinku(m.Rychlost)) {
        NastavLinku(Data.Rychlost);
        return;
    }
    TRelaceModulu relace(Data);
    relace.NastavAdresu(m.Adresa);
    const TIdentifikace id = relace.Identifikuj();
    if (!id.Ok()) {
        NastavLinku(Data.Rychlost);
        ZobrazStav(QStringLiteral(" Identifikace modulu na adrese %1, %2 Bd: %3")
                       .arg(m.Adresa)
                       .arg(m.Rychlost)
                       .arg(TextKodu(Data.Rozhrani, id.Vysledek)));
        return;
    }
    PrevezmiModul(Data, m.Adresa, m.Rychlost, id);
    accept();
}
