#include "PrikazModulu.h"

#include "Cfm.h"
#include "Prikazy.h"

#include <QComboBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

namespace {

constexpr int NejmensiSirka = 760, NejmensiVyska = 600;
// The history keeps the last this many commands.
constexpr std::size_t NejviceHistorie = 1000;
constexpr int NejviceOpakovani = 1000000, NejdelsiInterval = 3600000;
constexpr std::array<const char*, 6> PopiskyOdpovedi = {
    "Výsledek:", "S:", "A1-A4 hex:", "A1-A4 desítkově:", "A1-A4 znaky:", "Doba:"};

QLineEdit* Policko(QWidget* rodic, const char* jmeno, const QString& text, int sirka) {
    auto* pole = Vytvor<QLineEdit>(rodic, jmeno, text);
    pole->setMaximumWidth(sirka);
    return pole;
}

// The index of the command in the set's table, or the entry "jiný" after it.
int IndexPrikazu(std::uint8_t kod, std::uint8_t parametr) {
    for (std::size_t i = 0; i < Prikaz::Nazvy.size(); ++i)
        if (Prikaz::Nazvy[i].Kod == kod && Prikaz::Nazvy[i].Parametr == parametr)
            return static_cast<int>(i);
    return static_cast<int>(Prikaz::Nazvy.size());
}

} // namespace

TPrikazModulu::TPrikazModulu(TData& data, THistoriePrikazu& historie, QWidget* parent)
    : TOknoNastroje(data, "PrikazModulu", QStringLiteral("Příkaz modulu"), parent),
      Historie(historie) {
    std::tie(Button1, Button2, Button3) = TlacitkaPrace(QStringLiteral("&Odeslat"));
    Button4 = TlacitkoNastroje(this, "Button4", QStringLiteral("Opa&kovat"));
    QVBoxLayout* obsah = Obsah();
    obsah->addLayout(Pole());
    obsah->addLayout(PoleOdpovedi());
    obsah->addLayout(PoleOpakovani());
    obsah->addWidget(Vytvor<QLabel>(this, "Label21", QStringLiteral("Odeslané příkazy:")));
    StringGrid1 = TabulkaNastroje(this, "StringGrid1",
                                  {QStringLiteral("Čas"), QStringLiteral("Adresa"),
                                   QStringLiteral("Příkaz"), QStringLiteral("D1-D5"),
                                   QStringLiteral("Krát"), QStringLiteral("Výsledek")});
    obsah->addWidget(StringGrid1, 1);
    auto* dole = new QHBoxLayout;
    dole->addStretch(1);
    dole->addWidget(Button3);
    obsah->addLayout(dole);
    for (const TOdeslanyPrikaz& o : Historie)
        PridejRadekHistorie(o);
    StringGrid1->scrollToBottom();
    PrizpusobVelikost(QSize(NejmensiSirka, NejmensiVyska));
    connect(Button1, &QPushButton::clicked, this, &TPrikazModulu::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TPrikazModulu::Button4Click);
    connect(Button2, &QPushButton::clicked, this, [this] {
        if (Cekani != nullptr) Cekani->quit();
    });
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this,
            [this](int radek, int) { StringGrid1DblClick(radek); });
    PriPraci(false);
}

QLayout* TPrikazModulu::Pole() {
    auto* mrizka = new QGridLayout;
    mrizka->addWidget(Vytvor<QLabel>(this, "Label1", QStringLiteral("Příkaz:")), 0, 0);
    ComboBox1 = Vytvor<QComboBox>(this, "ComboBox1");
    for (const Prikaz::TPojmenovanyPrikaz& p : Prikaz::Nazvy)
        ComboBox1->addItem(TextPrikazu(p.Kod, p.Parametr));
    ComboBox1->addItem(QStringLiteral("jiný kód"));
    mrizka->addWidget(ComboBox1, 0, 1, 1, 5);
    const std::array<std::pair<const char*, QString>, 3> popisky = {
        {{"Label2", QStringLiteral("Adresa:")},
         {"Label3", QStringLiteral("Kód:")},
         {"Label4", QStringLiteral("Parametr:")}}};
    Edit1 = Policko(this, "Edit1", QString::number(Data.Adresa), 70);
    Edit2 = Policko(this, "Edit2", QString::number(Prikaz::Identifikace), 70);
    Edit3 = Policko(this, "Edit3", QString::number(Prikaz::IdNazev1), 70);
    const std::array<QLineEdit*, 3> pole = {Edit1, Edit2, Edit3};
    for (int i = 0; i < 3; ++i) {
        const auto& [jmeno, text] = popisky[static_cast<std::size_t>(i)];
        mrizka->addWidget(Vytvor<QLabel>(this, jmeno, text), 1, 2 * i);
        mrizka->addWidget(pole[static_cast<std::size_t>(i)], 1, 2 * i + 1);
    }
    mrizka->addLayout(PoleDat(), 2, 0, 1, 6);
    mrizka->setColumnStretch(5, 1);
    connect(ComboBox1, &QComboBox::activated, this, &TPrikazModulu::VolbaPrikazu);
    connect(Edit2, &QLineEdit::textEdited, this, &TPrikazModulu::ZmenaKodu);
    connect(Edit3, &QLineEdit::textEdited, this, &TPrikazModulu::ZmenaKodu);
    return mrizka;
}

QLayout* TPrikazModulu::PoleDat() {
    auto* data = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        const QByteArray jmeno = "Edit" + QByteArray::number(i + 4);
        const QByteArray popisek = "Label" + QByteArray::number(i + 5);
        data->addWidget(
            Vytvor<QLabel>(this, popisek.constData(), QStringLiteral("D%1:").arg(i + 1)));
        EditD[static_cast<std::size_t>(i)] =
            Policko(this, jmeno.constData(), QStringLiteral("0"), 70);
        data->addWidget(EditD[static_cast<std::size_t>(i)]);
    }
    data->addStretch(1);
    data->addWidget(Button1);
    return data;
}

QLayout* TPrikazModulu::PoleOdpovedi() {
    auto* mrizka = new QGridLayout;
    for (std::size_t i = 0; i < PopiskyOdpovedi.size(); ++i) {
        const QByteArray popisek = "Label" + QByteArray::number(static_cast<int>(i) + 10);
        const QByteArray hodnota = "Label" + QByteArray::number(static_cast<int>(i) + 30);
        mrizka->addWidget(
            Vytvor<QLabel>(this, popisek.constData(), QString::fromUtf8(PopiskyOdpovedi[i])),
            static_cast<int>(i), 0);
        Odpoved[i] = Vytvor<QLabel>(this, hodnota.constData(), QStringLiteral("–"));
        Odpoved[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        mrizka->addWidget(Odpoved[i], static_cast<int>(i), 1);
    }
    mrizka->setColumnStretch(1, 1);
    return mrizka;
}

QLayout* TPrikazModulu::PoleOpakovani() {
    auto* radek = new QHBoxLayout;
    radek->addWidget(Button4);
    Edit9 = Policko(this, "Edit9", QStringLiteral("10"), 80);
    radek->addWidget(Edit9);
    radek->addWidget(Vytvor<QLabel>(this, "Label16", QStringLiteral("krát, každých")));
    Edit10 = Policko(this, "Edit10", QStringLiteral("100"), 80);
    radek->addWidget(Edit10);
    radek->addWidget(Vytvor<QLabel>(this, "Label17", QStringLiteral("ms")));
    radek->addWidget(Button2);
    radek->addStretch(1);
    auto* sloupec = new QVBoxLayout;
    sloupec->addLayout(radek);
    Label20 = Vytvor<QLabel>(this, "Label20");
    sloupec->addWidget(Label20);
    return sloupec;
}

void TPrikazModulu::VolbaPrikazu(int index) {
    if (index < 0 || index >= static_cast<int>(Prikaz::Nazvy.size())) return;
    const Prikaz::TPojmenovanyPrikaz& p = Prikaz::Nazvy[static_cast<std::size_t>(index)];
    Edit2->setText(QString::number(p.Kod));
    Edit3->setText(QString::number(p.Parametr));
}

void TPrikazModulu::ZmenaKodu() {
    const auto kod = CisloBezZnamenka(Edit2->text().trimmed());
    const auto parametr = CisloBezZnamenka(Edit3->text().trimmed());
    const bool platne = kod && parametr && *kod <= 255 && *parametr <= 255;
    ComboBox1->setCurrentIndex(
        platne ? IndexPrikazu(static_cast<std::uint8_t>(*kod), static_cast<std::uint8_t>(*parametr))
               : static_cast<int>(Prikaz::Nazvy.size()));
}

namespace {

// The number in the field, 0 to `max`; empty, with the reason shown, when
// it is not one.
std::optional<std::uint32_t> Cislo(QLineEdit* pole, const QString& nazev, std::uint32_t max,
                                   const std::function<void(const QString&)>& stav) {
    const auto v = CisloBezZnamenka(pole->text().trimmed());
    if (v && *v <= max) return v;
    stav(QStringLiteral(" Pole %1: „%2“ není číslo 0-%3 (desítkově nebo 0x…).")
             .arg(nazev, pole->text())
             .arg(max));
    pole->setFocus();
    return std::nullopt;
}

} // namespace

std::optional<TRucniPrikaz> TPrikazModulu::Prikaz() {
    const auto stav = [this](const QString& t) { ZobrazStav(t); };
    std::array<std::optional<std::uint32_t>, 8> v;
    const std::array<std::pair<QLineEdit*, QString>, 8> pole = {
        {{Edit1, QStringLiteral("Adresa")},
         {Edit2, QStringLiteral("Kód")},
         {Edit3, QStringLiteral("Parametr")},
         {EditD[0], QStringLiteral("D1")},
         {EditD[1], QStringLiteral("D2")},
         {EditD[2], QStringLiteral("D3")},
         {EditD[3], QStringLiteral("D4")},
         {EditD[4], QStringLiteral("D5")}}};
    for (std::size_t i = 0; i < pole.size(); ++i)
        if (!(v[i] = Cislo(pole[i].first, pole[i].second, 255, stav))) return std::nullopt;
    TRucniPrikaz p;
    p.Adresa = static_cast<std::uint8_t>(*v[0]);
    p.Kod = static_cast<std::uint8_t>(*v[1]);
    p.Parametr = static_cast<std::uint8_t>(*v[2]);
    for (std::size_t i = 0; i < p.D.size(); ++i)
        p.D[i] = static_cast<std::uint8_t>(*v[i + 3]);
    return p;
}

bool TPrikazModulu::Smi(const TRucniPrikaz& prikaz) {
    if (!Pripojeno()) return false;
    const QString otazka = OtazkaZapisu(prikaz);
    if (otazka.isEmpty()) return true;
    if (QMessageBox::question(this, windowTitle(), otazka) == QMessageBox::Yes) return true;
    ZobrazStav(QStringLiteral(" Nic nebylo odesláno."));
    return false;
}

void TPrikazModulu::ZobrazOdpoved(const TOdpovedRucni& o) {
    const TOdpovedModulu& a = o.Odpoved;
    const std::array<QString, 6> texty = {
        QStringLiteral("%1: %2").arg(a.Vysledek).arg(Relace().TextKodu(a.Vysledek)),
        TextS(a.S),
        HexOdpovedi(a.A),
        DesitkoveOdpovedi(a.A),
        QStringLiteral("„%1“").arg(ZnakyOdpovedi(a.A)),
        TextMs(static_cast<double>(o.Doba.count()) / 1000.0, u',') + QStringLiteral(" ms")};
    for (std::size_t i = 0; i < texty.size(); ++i)
        Odpoved[i]->setText(texty[i]);
    for (QLabel* l : Odpoved)
        l->setStyleSheet(a.Ok() ? QString() : QStringLiteral("color: #960000"));
    for (QLabel* l : Odpoved)
        l->repaint();
}

void TPrikazModulu::Button1Click() {
    const auto prikaz = Prikaz();
    if (!prikaz || !Smi(*prikaz)) return;
    Spust([&] {
        TRelaceModulu relace = Relace();
        const TOdpovedRucni o = OdesliRucne(relace, *prikaz);
        ZobrazOdpoved(o);
        DoHistorie(*prikaz, 1, o.Odpoved.Vysledek);
        ZobrazStav(o.Odpoved.Ok() ? QStringLiteral(" Odpověď přijata.")
                                  : u' ' + relace.TextKodu(o.Odpoved.Vysledek));
    });
}

void TPrikazModulu::Button4Click() {
    const auto prikaz = Prikaz();
    if (!prikaz) return;
    const auto stav = [this](const QString& t) { ZobrazStav(t); };
    const auto pocet = Cislo(Edit9, QStringLiteral("krát"), NejviceOpakovani, stav);
    if (!pocet) return;
    const auto interval = Cislo(Edit10, QStringLiteral("ms"), NejdelsiInterval, stav);
    if (!interval || !Smi(*prikaz)) return;
    Spust([&] { Opakuj(*prikaz, static_cast<int>(*pocet), static_cast<int>(*interval)); });
}

void TPrikazModulu::Opakuj(const TRucniPrikaz& prikaz, int pocet, int interval) {
    TStatistikaSpojeni statistika;
    TRelaceModulu relace = Relace();
    ZacniPrubeh(pocet);
    std::uint8_t posledni = 0;
    int hotovo = 0;
    for (; hotovo < pocet; ++hotovo) {
        if (hotovo > 0) Cekej(interval);
        if (!Pokracovat()) break;
        const TOdpovedRucni o = OdesliRucne(relace, prikaz);
        Zapocitej(statistika, prikaz, o);
        posledni = o.Odpoved.Vysledek;
        ZobrazOdpoved(o);
        KrokPrubehu();
        Label20->setText(TextOpakovani(statistika.Souhrn(), u','));
        Label20->repaint();
    }
    DoHistorie(prikaz, hotovo, posledni);
    const QString souhrn = TextOpakovani(statistika.Souhrn(), u',');
    ZobrazStav((hotovo < pocet ? QStringLiteral(" Opakování přerušeno: ")
                               : QStringLiteral(" Opakování dokončeno: ")) +
               souhrn);
}

void TPrikazModulu::Cekej(int ms) {
    if (ms <= 0) return;
    QEventLoop smycka;
    Cekani = &smycka;
    QTimer::singleShot(ms, &smycka, &QEventLoop::quit);
    smycka.exec();
    Cekani = nullptr;
}

void TPrikazModulu::done(int vysledek) {
    TOknoNastroje::done(vysledek);
    if (Cekani != nullptr) Cekani->quit();
}

void TPrikazModulu::PriPraci(bool bezi) {
    Button1->setEnabled(!bezi);
    Button4->setEnabled(!bezi);
    Button2->setEnabled(bezi);
}

void TPrikazModulu::DoHistorie(const TRucniPrikaz& prikaz, int opakovani, std::uint8_t vysledek) {
    Historie.push_back({QDateTime::currentDateTime(), prikaz, opakovani, vysledek});
    PridejRadekHistorie(Historie.back());
    if (Historie.size() > NejviceHistorie) {
        Historie.erase(Historie.begin());
        StringGrid1->removeRow(0);
    }
    StringGrid1->scrollToBottom();
}

void TPrikazModulu::PridejRadekHistorie(const TOdeslanyPrikaz& o) {
    PridejRadek(StringGrid1,
                {o.Cas.toString(QStringLiteral("HH:mm:ss.zzz")), QString::number(o.Prikaz.Adresa),
                 TextPrikazu(o.Prikaz.Kod, o.Prikaz.Parametr), TextDat(o.Prikaz.D),
                 QString::number(o.Opakovani),
                 QStringLiteral("%1: %2").arg(o.Vysledek).arg(Relace().TextKodu(o.Vysledek))});
}

void TPrikazModulu::StringGrid1DblClick(int radek) {
    if (radek < 0 || radek >= static_cast<int>(Historie.size())) return;
    const TRucniPrikaz& p = Historie[static_cast<std::size_t>(radek)].Prikaz;
    Edit1->setText(QString::number(p.Adresa));
    Edit2->setText(QString::number(p.Kod));
    Edit3->setText(QString::number(p.Parametr));
    for (std::size_t i = 0; i < EditD.size(); ++i)
        EditD[i]->setText(QString::number(p.D[i]));
    ZmenaKodu();
}
