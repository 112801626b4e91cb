#include "OknoKomunikace.h"

#include "ObycejnySoubor.h"
#include "Prikazy.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <array>

namespace {

// Column widths in pixels; the last column takes the rest.
constexpr std::array<int, PocetSloupcuKomunikace> SirkySloupcu = {90,  50, 55, 160, 100,
                                                                  200, 35, 95, 60};
constexpr int NejmensiSirka = 900, NejmensiVyska = 520;

const QColor PozadiChyby(255, 222, 222);
const QColor PismoChyby(150, 0, 0);

QString CsvNavrh() {
    return QStringLiteral("komunikace-%1.csv")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

QString UlozitCsv(QWidget* rodic, bool) {
    return QFileDialog::getSaveFileName(rodic, QStringLiteral("Uložit záznam komunikace"),
                                        CsvNavrh(), QStringLiteral("CSV (*.csv)"));
}

} // namespace

int TModelKomunikace::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Vsechny.size());
}

int TModelKomunikace::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PocetSloupcuKomunikace;
}

QVariant TModelKomunikace::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TRadekKomunikace& r = Vsechny[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return TextBunkyKomunikace(r, static_cast<TSloupecKomunikace>(index.column()), TextyKodu);
    if (role == Qt::BackgroundRole && !r.Ok()) return PozadiChyby;
    if (role == Qt::ForegroundRole && !r.Ok()) return PismoChyby;
    return {};
}

QVariant TModelKomunikace::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return NadpisSloupceKomunikace(static_cast<TSloupecKomunikace>(section));
}

void TModelKomunikace::Nastav(std::vector<TRadekKomunikace> radky) {
    beginResetModel();
    Vsechny = std::move(radky);
    endResetModel();
}

void TModelKomunikace::Pridej(const std::vector<TRadekKomunikace>& radky, std::size_t nejvic) {
    if (radky.empty()) return;
    const int pred = rowCount();
    beginInsertRows({}, pred, pred + static_cast<int>(radky.size()) - 1);
    Vsechny.insert(Vsechny.end(), radky.begin(), radky.end());
    endInsertRows();
    if (Vsechny.size() <= nejvic) return;
    const int navic = static_cast<int>(Vsechny.size() - nejvic);
    beginRemoveRows({}, 0, navic - 1);
    Vsechny.erase(Vsechny.begin(), Vsechny.begin() + navic);
    endRemoveRows();
}

TOknoKomunikace::TOknoKomunikace(TData& data, TZaznamKomunikace& zaznam, QWidget* parent)
    : TOknoNastroje(data, "ZaznamKomunikace", QStringLiteral("Záznam komunikace"), parent),
      Zaznam(zaznam), Precteno(zaznam.PrvniCislo()) {
    VolbaSouboru = UlozitCsv;
    QVBoxLayout* obsah = Obsah();
    obsah->addLayout(Filtry());
    Model = new TModelKomunikace(this);
    Tabulka1 = Vytvor<QTableView>(this, "Tabulka1");
    Tabulka1->setModel(Model);
    Tabulka1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Tabulka1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tabulka1->verticalHeader()->hide();
    Tabulka1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Tabulka1->setWordWrap(false);
    for (int i = 0; i < PocetSloupcuKomunikace; ++i)
        Tabulka1->horizontalHeader()->resizeSection(i, SirkySloupcu[static_cast<std::size_t>(i)]);
    Tabulka1->horizontalHeader()->setStretchLastSection(true);
    obsah->addWidget(Tabulka1, 1);
    obsah->addLayout(Tlacitka());
    PrizpusobVelikost(QSize(NejmensiSirka, NejmensiVyska));
    ProgressBar1->hide(); // the log runs no work of its own
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Obnova);
    connect(Timer1, &QTimer::timeout, this, &TOknoKomunikace::Obnov);
}

QLayout* TOknoKomunikace::Filtry() {
    auto* radek = new QHBoxLayout;
    radek->addWidget(Vytvor<QLabel>(this, "Label2", QStringLiteral("Adresa:")));
    SpinEdit1 = Vytvor<QSpinBox>(this, "SpinEdit1");
    SpinEdit1->setRange(-1, 255);
    SpinEdit1->setSpecialValueText(QStringLiteral("všechny"));
    SpinEdit1->setValue(-1);
    SpinEdit1->setMinimumWidth(90);
    radek->addWidget(SpinEdit1);
    radek->addWidget(Vytvor<QLabel>(this, "Label3", QStringLiteral("Příkaz:")));
    ComboBox1 = Vytvor<QComboBox>(this, "ComboBox1");
    ComboBox1->addItem(QStringLiteral("všechny"));
    for (const Prikaz::TPojmenovanyPrikaz& p : Prikaz::Nazvy)
        ComboBox1->addItem(
            QStringLiteral("%1/%2 %3").arg(p.Kod).arg(p.Parametr).arg(QString::fromUtf8(p.Nazev)));
    radek->addWidget(ComboBox1);
    CheckBox1 = Vytvor<QCheckBox>(this, "CheckBox1", QStringLiteral("Jen chyby"));
    radek->addWidget(CheckBox1);
    radek->addStretch(1);
    Label1 = Vytvor<QLabel>(this, "Label1");
    radek->addWidget(Label1);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TOknoKomunikace::ZmenaFiltru);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TOknoKomunikace::ZmenaFiltru);
    connect(CheckBox1, &QCheckBox::toggled, this, &TOknoKomunikace::ZmenaFiltru);
    return radek;
}

QLayout* TOknoKomunikace::Tlacitka() {
    auto* radek = new QHBoxLayout;
    Button1 = TlacitkoNastroje(this, "Button1", QStringLiteral("&Pozastavit"));
    Button2 = TlacitkoNastroje(this, "Button2", QStringLiteral("&Vymazat"));
    Button3 = TlacitkoNastroje(this, "Button3", QStringLiteral("&Uložit…"));
    Button4 = TlacitkoNastroje(this, "Button4", QStringLiteral("&Zavřít"));
    for (QPushButton* b : {Button1, Button2, Button3})
        radek->addWidget(b);
    radek->addStretch(1);
    radek->addWidget(Button4);
    connect(Button1, &QPushButton::clicked, this, &TOknoKomunikace::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TOknoKomunikace::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TOknoKomunikace::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TOknoKomunikace::reject);
    return radek;
}

void TOknoKomunikace::showEvent(QShowEvent* event) {
    TOknoNastroje::showEvent(event);
    Obnov();
    if (!Timer1->isActive()) Timer1->start();
}

TFiltrKomunikace TOknoKomunikace::Filtr() const {
    TFiltrKomunikace f;
    if (SpinEdit1->value() >= 0) f.Adresa = static_cast<std::uint8_t>(SpinEdit1->value());
    const int prikaz = ComboBox1->currentIndex() - 1;
    if (prikaz >= 0 && prikaz < static_cast<int>(Prikaz::Nazvy.size())) {
        const Prikaz::TPojmenovanyPrikaz& p = Prikaz::Nazvy[static_cast<std::size_t>(prikaz)];
        f.Prikaz = std::pair{p.Kod, p.Parametr};
    }
    f.JenChyby = CheckBox1->isChecked();
    return f;
}

std::vector<TRadekKomunikace> TOknoKomunikace::Vyber(std::uint64_t od, std::uint64_t po) const {
    const TFiltrKomunikace f = Filtr();
    std::vector<TRadekKomunikace> radky;
    for (std::uint64_t i = std::max(od, Zaznam.PrvniCislo()); i < po; ++i)
        if (f.Propusti(Zaznam.Radek(i))) radky.push_back(Zaznam.Radek(i));
    return radky;
}

// The view follows the newest row unless the operator has scrolled away
// from the end.
void TOknoKomunikace::Obnov() {
    if (Pozastaveno) return;
    const std::uint64_t dalsi = Zaznam.DalsiCislo();
    if (dalsi == Precteno) return;
    const QScrollBar* posuvnik = Tabulka1->verticalScrollBar();
    const bool naKonci = posuvnik->value() == posuvnik->maximum();
    Model->Pridej(Vyber(Precteno, dalsi), Zaznam.Kapacita());
    Precteno = dalsi;
    if (naKonci) Tabulka1->scrollToBottom();
    ObnovPocet();
}

// A paused view is filtered anew from the rows it had taken.
void TOknoKomunikace::ZmenaFiltru() {
    Model->Nastav(Vyber(Zaznam.PrvniCislo(), Precteno));
    Tabulka1->scrollToBottom();
    ObnovPocet();
}

void TOknoKomunikace::ObnovPocet() {
    Label1->setText(
        QStringLiteral("Zobrazeno %1 z %2 transakcí").arg(Model->rowCount()).arg(Zaznam.Pocet()));
}

void TOknoKomunikace::Button1Click() {
    Pozastaveno = !Pozastaveno;
    Button1->setText(Pozastaveno ? QStringLiteral("&Pokračovat") : QStringLiteral("&Pozastavit"));
    ZobrazStav(Pozastaveno ? QStringLiteral(" Zobrazení pozastaveno, záznam pokračuje.")
                           : QStringLiteral(" "));
    Obnov();
}

void TOknoKomunikace::Button2Click() {
    Zaznam.Vymaz();
    Precteno = Zaznam.DalsiCislo();
    Model->Nastav({});
    ObnovPocet();
    ZobrazStav(QStringLiteral(" Záznam vymazán."));
}

void TOknoKomunikace::Button3Click() {
    const QString cesta = VyberSoubor(true);
    if (!cesta.isEmpty()) UlozCsv(cesta);
}

// Only a regular file (or a link to one) is replaced, whole or not at all.
bool TOknoKomunikace::UlozCsv(const QString& cesta) {
    if (const QString proc = NeniSouborem(cesta); !proc.isEmpty()) {
        ZobrazStav(QStringLiteral(" Soubor %1: %2, nic nebylo uloženo.").arg(cesta, proc));
        return false;
    }
    QSaveFile soubor(CilZapisu(cesta));
    if (!soubor.open(QIODevice::WriteOnly) ||
        !ZapisCsvKomunikace(Model->Radky(), Model->Texty(), soubor) || !soubor.commit()) {
        ZobrazStav(
            QStringLiteral(" Nelze uložit soubor %1: %2").arg(cesta, DuvodUlozeni(cesta, soubor)));
        return false;
    }
    ZobrazStav(QStringLiteral(" Uloženo %1 řádků do souboru %2").arg(Model->rowCount()).arg(cesta));
    return true;
}
