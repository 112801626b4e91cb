#include "DiagnostikaSpojeni.h"

#include "Ovladace.h"
#include "VelikostOkna.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <array>

namespace {

constexpr std::array<const char*, 8> Popisky = {
    "Počítáno od:",   "Transakcí:",          "Úspěšných:",        "Neúspěšných:",
    "Vypršení času:", "Poškozené odpovědi:", "Doba odezvy (ms):", "Poslední chyba:"};

QString Cas(std::chrono::system_clock::time_point t) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(ms.count())
        .toString(QStringLiteral("d.M.yyyy HH:mm:ss.zzz"));
}

QString Podil(std::uint64_t cast, std::uint64_t celek) {
    if (celek == 0) return QString::number(cast);
    return QStringLiteral("%1 (%2 %)")
        .arg(cast)
        .arg(CeskeCislo(100.0 * static_cast<double>(cast) / static_cast<double>(celek), 1));
}

QString Ms(const std::optional<double>& ms) {
    return ms ? CeskeCislo(*ms, 2) : QStringLiteral("–");
}

QString DobyOdezvy(const TSouhrnSpojeni& s) {
    if (!s.MinMs) return QStringLiteral("–");
    return QStringLiteral("min %1   medián %2   95 % %3   max %4")
        .arg(Ms(s.MinMs), Ms(s.MedianMs), Ms(s.P95Ms), Ms(s.MaxMs));
}

QString PosledniChyba(const TSouhrnSpojeni& s) {
    if (!s.PosledniChyba) return QStringLiteral("–");
    return QStringLiteral("%1   kód %2: %3")
        .arg(Cas(s.CasPosledniChyby))
        .arg(*s.PosledniChyba)
        .arg(TextKodu(s.Rozhrani, *s.PosledniChyba));
}

std::array<QString, Popisky.size()> Texty(const TSouhrnSpojeni& s) {
    return {s.Od ? Cas(*s.Od) : QStringLiteral("–"),
            QString::number(s.Transakci),
            Podil(s.Uspesnych, s.Transakci),
            Podil(s.Neuspesnych, s.Transakci),
            Podil(s.Vyprseni, s.Transakci),
            Podil(s.Poskozenych, s.Transakci),
            DobyOdezvy(s),
            PosledniChyba(s)};
}

} // namespace

TDiagnostikaSpojeni::TDiagnostikaSpojeni(TData* data, TStatistikaSpojeni& statistika,
                                         QWidget* parent)
    : TZiveOkno(data, parent), Statistika(statistika) {
    setObjectName(QStringLiteral("DiagnostikaSpojeni"));
    setWindowTitle(QStringLiteral("Diagnostika spojení"));
    QVBoxLayout* obsah = RozlozeniObsahu(this);
    auto* mrizka = new QGridLayout;
    mrizka->setColumnStretch(1, 1);
    for (std::size_t i = 0; i < Popisky.size(); ++i) {
        const QByteArray popisek = "Label" + QByteArray::number(static_cast<int>(i) + 1);
        const QByteArray hodnota =
            "Label" + QByteArray::number(static_cast<int>(i + Popisky.size()) + 1);
        const int radek = static_cast<int>(i);
        mrizka->addWidget(Vytvor<QLabel>(this, popisek.constData(), QString::fromUtf8(Popisky[i])),
                          radek, 0);
        Hodnoty.push_back(Vytvor<QLabel>(this, hodnota.constData()));
        PruznyPopisek(Hodnoty.back());
        mrizka->addWidget(Hodnoty.back(), radek, 1);
    }
    obsah->addLayout(mrizka);
    Tabulka1 = Vytvor<QTableWidget>(this, "Tabulka1", 0, 3);
    Tabulka1->setHorizontalHeaderLabels(
        {QStringLiteral("Kód"), QStringLiteral("Text"), QStringLiteral("Počet")});
    Tabulka1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tabulka1->setSelectionMode(QAbstractItemView::NoSelection);
    Tabulka1->setFocusPolicy(Qt::NoFocus);
    Tabulka1->verticalHeader()->hide();
    Tabulka1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    obsah->addWidget(Tabulka1, 1);
    Button1 = Vytvor<QPushButton>(this, "Button1", QStringLiteral("&Vynulovat"));
    connect(Button1, &QPushButton::clicked, this, &TDiagnostikaSpojeni::Button1Click);
    Button2 = Vytvor<QPushButton>(this, "Button2", QStringLiteral("&Zavřít"));
    connect(Button2, &QPushButton::clicked, this, &TDiagnostikaSpojeni::Button2Click);
    auto* tlacitka = new QHBoxLayout;
    tlacitka->addWidget(Button1);
    tlacitka->addStretch(1);
    tlacitka->addWidget(Button2);
    obsah->addLayout(tlacitka);
    for (QPushButton* tlacitko : {Button1, Button2})
        tlacitko->setAutoDefault(false);
    PrizpusobivaVelikost(this, QSize(740, 420), Data);
    VytvorCasovac(Obnova, false);
}

void TDiagnostikaSpojeni::showEvent(QShowEvent* event) {
    TZiveOkno::showEvent(event);
    Timer1Timer();
    if (!Timer1->isActive()) Timer1->start();
}

// Counts of a connection that has since been replaced are not shown.
void TDiagnostikaSpojeni::Timer1Timer() {
    if (Data == nullptr) return;
    if (Pripojeno()) ZobrazStav(QStringLiteral(" "));
    Statistika.Spojeni(PocetOtevrenychSpojeni());
    const TSouhrnSpojeni s = Statistika.Souhrn();
    const auto texty = Texty(s);
    for (std::size_t i = 0; i < texty.size(); ++i) {
        if (Hodnoty[i]->text() != texty[i]) Hodnoty[i]->setText(texty[i]);
    }
    ZobrazTabulku(s);
}

void TDiagnostikaSpojeni::ZobrazTabulku(const TSouhrnSpojeni& s) {
    Tabulka1->setRowCount(static_cast<int>(s.PodleKodu.size()));
    for (int radek = 0; radek < static_cast<int>(s.PodleKodu.size()); ++radek) {
        const TSouhrnSpojeni::TChyba& chyba = s.PodleKodu[static_cast<std::size_t>(radek)];
        const std::array<QString, 3> bunky = {QString::number(chyba.Kod),
                                              TextKodu(s.Rozhrani, chyba.Kod),
                                              QString::number(chyba.Pocet)};
        for (int sloupec = 0; sloupec < 3; ++sloupec) {
            const QString& text = bunky[static_cast<std::size_t>(sloupec)];
            QTableWidgetItem* bunka = Tabulka1->item(radek, sloupec);
            if (bunka == nullptr)
                Tabulka1->setItem(radek, sloupec, new QTableWidgetItem(text));
            else if (bunka->text() != text)
                bunka->setText(text);
        }
    }
}

void TDiagnostikaSpojeni::Button1Click() {
    Statistika.Spojeni(PocetOtevrenychSpojeni());
    Statistika.Vynuluj(std::chrono::system_clock::now());
    Timer1Timer();
}

void TDiagnostikaSpojeni::Button2Click() {
    reject();
}
