#include "PorovnaniKonfigurace.h"

#include "Cfm.h"
#include "Ovladace.h"
#include "PopisRozdilu.h"
#include "Texty.h"
#include "VelikostOkna.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString TextChybySouboru(const QString& cesta, const TChybaCfm& chyba) {
    const QString misto = MistoCfm(chyba);
    return QStringLiteral(" Soubor ") + cesta + (misto.isEmpty() ? QString() : ", " + misto) +
           QStringLiteral(": ") + chyba.Text;
}

} // namespace

TPorovnaniKonfigurace::TPorovnaniKonfigurace(TData& data, QWidget* parent)
    : TPorovnaniKonfigurace(data, "PorovnaniKonfigurace",
                            QStringLiteral("Porovnání modulu se souborem"),
                            QStringLiteral("&Porovnat…"),
                            QStringLiteral("Porovnat také &adresu a rychlost modulu"), parent) {}

TPorovnaniKonfigurace::TPorovnaniKonfigurace(TData& data, const char* jmeno, const QString& titulek,
                                             const QString& tlacitko, const QString& sAdresou,
                                             QWidget* parent)
    : TOknoNastroje(data, jmeno, titulek, parent) {
    Label1 = Vytvor<QLabel>(this, "Label1", QStringLiteral("Soubor: "));
    PruznyPopisek(Label1);
    CheckBox1 = Vytvor<QCheckBox>(this, "CheckBox1", sAdresou);
    StringGrid1 = TabulkaNastroje(
        this, "StringGrid1",
        {QStringLiteral("Nastavení"), QStringLiteral("Soubor"), QStringLiteral("Modul")});
    StringGrid1->setColumnWidth(0, 260);
    StringGrid1->setColumnWidth(1, 110);
    std::tie(Button1, Button2, Button3) = TlacitkaPrace(tlacitko);
    Obsah = RozlozeniObsahu(this);
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, CheckBox1, ProgressBar1})
        Obsah->addWidget(w);
    Obsah->addWidget(StringGrid1, 1);
    Tlacitka = new QHBoxLayout;
    Tlacitka->addWidget(Button1);
    Tlacitka->addStretch(1);
    Tlacitka->addWidget(Button2);
    Tlacitka->addWidget(Button3);
    Obsah->addLayout(Tlacitka);
    PrizpusobivaVelikost(this, QSize(560, 420), &Data);
    connect(Button1, &QPushButton::clicked, this, &TPorovnaniKonfigurace::Button1Click);
    connect(CheckBox1, &QCheckBox::toggled, this, &TPorovnaniKonfigurace::ObnovRozdily);
    PriPraci(false);
}

void TPorovnaniKonfigurace::PriPraci(bool bezi) {
    Button1->setEnabled(!bezi);
    CheckBox1->setEnabled(!bezi);
    Button2->setEnabled(bezi);
}

void TPorovnaniKonfigurace::Button1Click() {
    if (Bezi() || !Pripojeno()) return;
    const QString cesta = VyberSoubor(false);
    if (cesta.isEmpty()) return;
    Label1->setText(QStringLiteral("Soubor: ") + cesta);
    StringGrid1->setRowCount(0);
    Soubor.reset();
    Modul.reset();
    // The whole file is checked before anything is sent.
    TChybaCfm chyba;
    const auto zeSouboru = NactiSouborCfm(cesta, chyba, &ModulSouboru);
    if (!zeSouboru) return ZobrazStav(TextChybySouboru(cesta, chyba));
    TKonfigurace k = VychoziKonfigurace();
    TVysledekSekvence v;
    Spust([&] {
        ZacniPrubeh(PocetRegistruCteni());
        v = PrectiKonfiguraci(Data, k, Prubeh());
    });
    if (!v.Ok()) return ZobrazStav(TextChyby(QStringLiteral("Čtení konfigurace"), v));
    Soubor = zeSouboru;
    Modul = k;
    ZobrazStav(TextRozdilu(ZobrazRozdily()));
    PriPraci(false);
}

int TPorovnaniKonfigurace::ZobrazRozdily() {
    StringGrid1->setRowCount(0);
    if (!Soubor || !Modul) return 0;
    const auto rozdily = PopisRozdilu(*Soubor, *Modul, CheckBox1->isChecked());
    for (const TPopisRozdilu& r : rozdily)
        PridejRadek(StringGrid1, {r.Co, r.VSouboru, r.VModulu});
    return static_cast<int>(rozdily.size());
}

QString TPorovnaniKonfigurace::TextRozdilu(int pocet) const {
    if (pocet == 0) return QStringLiteral(" Bez rozdílů.");
    return QStringLiteral(" Počet rozdílů: %1.").arg(pocet);
}

// The box changes only which keys are compared: no command is sent.
void TPorovnaniKonfigurace::ObnovRozdily() {
    if (!Soubor || !Modul) return;
    ZobrazStav(TextRozdilu(ZobrazRozdily()));
}
