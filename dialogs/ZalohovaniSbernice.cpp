#include "ZalohovaniSbernice.h"

#include "Ovladace.h"
#include "TextyZalohy.h"
#include "VelikostOkna.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

bool NahraditZalohu(QWidget* rodic, const QString& slozka) {
    const QString index = QDir(slozka).filePath(QLatin1String(SouborIndexuZalohy));
    if (!QFileInfo::exists(index)) return true;
    const QString otazka = QStringLiteral("Složka %1 již obsahuje zálohu sběrnice. Chcete ji "
                                          "nahradit?")
                               .arg(QDir::toNativeSeparators(slozka));
    return QMessageBox::question(rodic, QStringLiteral("Nahradit zálohu"), otazka,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

QString ZeptejSeNaSlozku(QWidget* rodic, bool ulozit) {
    QFileDialog dialog(rodic, ulozit ? QStringLiteral("Složka pro zálohu sběrnice")
                                     : QStringLiteral("Složka se zálohou sběrnice"));
    dialog.setObjectName(ulozit ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString slozka = dialog.selectedFiles().front();
    return !ulozit || NahraditZalohu(rodic, slozka) ? slozka : QString();
}

TOknoSbernice::TOknoSbernice(TData& data, const char* jmeno, const QString& titulek,
                             const QString& tlacitko, const QStringList& sloupce, QWidget* parent)
    : TOknoNastroje(data, jmeno, titulek, parent) {
    VolbaSouboru = ZeptejSeNaSlozku;
    Label1 = Vytvor<QLabel>(this, "Label1",
                            Data.Sbernice.empty()
                                ? TextPrazdnehoSeznamu()
                                : QStringLiteral("Moduly: ") + SeznamModuluNaText(Data.Sbernice));
    Label1->setWordWrap(true);
    Label2 = Vytvor<QLabel>(this, "Label2", QStringLiteral("Složka: "));
    PruznyPopisek(Label2);
    StringGrid1 = TabulkaNastroje(this, "StringGrid1", sloupce);
    std::tie(Button1, Button2, Button3) = TlacitkaPrace(tlacitko);
    QVBoxLayout* obsah = Obsah();
    obsah->addWidget(Label1);
    obsah->addWidget(Label2);
    obsah->addWidget(StringGrid1, 1);
    auto* tlacitka = new QHBoxLayout;
    tlacitka->addWidget(Button1);
    tlacitka->addStretch(1);
    tlacitka->addWidget(Button2);
    tlacitka->addWidget(Button3);
    obsah->addLayout(tlacitka);
    PrizpusobVelikost(QSize(640, 440));
}

void TOknoSbernice::PriPraci(bool bezi) {
    Button1->setEnabled(!bezi);
    Button2->setEnabled(bezi);
}

QString TOknoSbernice::VyberSlozku(bool ulozit) {
    const QString slozka = VolbaSouboru ? VolbaSouboru(this, ulozit) : QString();
    if (slozka.isEmpty()) ZobrazStav(QStringLiteral(" Žádná složka nebyla vybrána."));
    return slozka;
}

TPrubehZalohy TOknoSbernice::PrubehSbernice(int modulu) {
    ZacniPrubeh(modulu * KrokuNaModul());
    const TPrubehSekvence sekvence = Prubeh();
    TPrubehZalohy p;
    p.Modul = [this](const TModulSbernice& m, int i, int n) {
        ProgressBar1->setValue(i * KrokuNaModul());
        ZobrazStav(
            QStringLiteral(" Modul %1 z %2: %3…").arg(i + 1).arg(n).arg(TextModuluSbernice(m)));
    };
    p.Pauza = sekvence.Pauza;
    p.Krok = sekvence.Krok;
    return p;
}

void TOknoSbernice::ZobrazKonec(const QString& souhrn, const TBehSbernice& beh) {
    QString text = u' ' + souhrn;
    if (beh.KodLinky != 0)
        text += QStringLiteral(" Chyba: ") + TextLinkySbernice(Data.Rozhrani, beh);
    ZobrazStav(text);
}

// ---- Zálohovat sběrnici ------------------------------------------------------------

TZalohaSbernice::TZalohaSbernice(TData& data, QWidget* parent)
    : TOknoSbernice(data, "ZalohaSbernice", QStringLiteral("Záloha sběrnice"),
                    QStringLiteral("Zál&ohovat…"),
                    {QStringLiteral("Adresa"), QStringLiteral("Rychlost"), QStringLiteral("Modul"),
                     QStringLiteral("Výsledek")},
                    parent) {
    connect(Button1, &QPushButton::clicked, this, &TZalohaSbernice::Button1Click);
    PriPraci(false);
}

void TZalohaSbernice::Button1Click() {
    if (Bezi() || !Pripojeno()) return;
    if (Data.Sbernice.empty()) return ZobrazStav(u' ' + TextPrazdnehoSeznamu());
    const QString slozka = VyberSlozku(true);
    if (slozka.isEmpty()) return;
    Label2->setText(QStringLiteral("Složka: ") + QDir::toNativeSeparators(slozka));
    StringGrid1->setRowCount(0);
    TVysledekZalohy v;
    Spust([&] {
        v = ZalohujSbernici(Data, Data.Sbernice, slozka, QString(),
                            PrubehSbernice(static_cast<int>(Data.Sbernice.size())));
    });
    for (const TUlozenyModul& u : v.Moduly)
        PridejRadek(StringGrid1,
                    {QString::number(u.Modul.Adresa), QStringLiteral("%1 Bd").arg(u.Modul.Rychlost),
                     u.Id.Ok() ? u.Id.Modul() : QString(), TextUlozeni(Data.Rozhrani, u, v.Beh)});
    ZobrazKonec(TextSouhrnuZalohy(v, QDir::toNativeSeparators(slozka)) + u'.', v.Beh);
}

// ---- Porovnat sběrnici -------------------------------------------------------------

TPorovnaniSbernice::TPorovnaniSbernice(TData& data, QWidget* parent)
    : TOknoSbernice(data, "PorovnaniSbernice", QStringLiteral("Porovnání sběrnice se zálohou"),
                    QStringLiteral("&Porovnat…"),
                    {QStringLiteral("Modul"), QStringLiteral("Nastavení"), QStringLiteral("Záloha"),
                     QStringLiteral("Sběrnice")},
                    parent) {
    StringGrid1->setColumnWidth(0, 150);
    StringGrid1->setColumnWidth(1, 220);
    if (Data.Sbernice.empty())
        Label1->setText(TextPrazdnehoSeznamu() +
                        QStringLiteral(" Porovnají se jen moduly zálohy."));
    connect(Button1, &QPushButton::clicked, this, &TPorovnaniSbernice::Button1Click);
    PriPraci(false);
}

void TPorovnaniSbernice::Button1Click() {
    if (Bezi() || !Pripojeno()) return;
    const QString slozka = VyberSlozku(false);
    if (slozka.isEmpty()) return;
    Label2->setText(QStringLiteral("Složka: ") + QDir::toNativeSeparators(slozka));
    StringGrid1->setRowCount(0);
    // The whole folder is checked before anything is sent.
    QString chyba;
    const auto zaloha = NactiZalohu(slozka, chyba);
    if (!zaloha) return ZobrazStav(QStringLiteral(" Záloha nelze použít: ") + chyba);
    TVysledekPorovnani v;
    const auto moduly = ModulyPorovnani(*zaloha, Data.Sbernice, Data.Rychlost);
    Spust([&] {
        v = PorovnejSbernici(Data, *zaloha, Data.Sbernice,
                             PrubehSbernice(static_cast<int>(moduly.size())));
    });
    for (const TPorovnanyModul& p : v.Moduly) {
        PridejRadek(StringGrid1, {TextModuluSbernice(p.Modul),
                                  TextPorovnani(Data.Rozhrani, p, v.Beh), QString(), QString()});
        for (const TPopisRozdilu& r : p.Popis)
            PridejRadek(StringGrid1, {QString(), r.Co, r.VSouboru, r.VModulu});
    }
    ZobrazKonec(TextSouhrnuPorovnani(v), v.Beh);
}
