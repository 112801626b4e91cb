#include "PorovnaniKonfigurace.h"

#include "Cfm.h"
#include "Ovladace.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace {

QString TextChybySouboru(const QString& cesta, const TChybaCfm& chyba) {
    if (chyba.Radek <= 0) return QStringLiteral(" Soubor %1: %2").arg(cesta, chyba.Text);
    return QStringLiteral(" Soubor %1, řádek %2: %3").arg(cesta).arg(chyba.Radek).arg(chyba.Text);
}

} // namespace

TPorovnaniKonfigurace::TPorovnaniKonfigurace(TData& data, QWidget* parent)
    : TPorovnaniKonfigurace(data, "PorovnaniKonfigurace",
                            QStringLiteral("Porovnání modulu se souborem"),
                            QStringLiteral("Porovnat…"),
                            QStringLiteral("Porovnat také adresu a rychlost modulu"), parent) {}

TPorovnaniKonfigurace::TPorovnaniKonfigurace(TData& data, const char* jmeno, const QString& titulek,
                                             const QString& tlacitko, const QString& sAdresou,
                                             QWidget* parent)
    : TOknoNastroje(data, jmeno, titulek, parent) {
    setFixedSize(520, 400);
    Label1 = Vytvor<QLabel>(this, "Label1", QStringLiteral("Soubor: "));
    Label1->setGeometry(16, 12, 488, 22);
    CheckBox1 = Vytvor<QCheckBox>(this, "CheckBox1", sAdresou);
    CheckBox1->setGeometry(16, 38, 488, 22);
    ProgressBar1->setGeometry(16, 90, 488, 20);
    StringGrid1 = TabulkaNastroje(
        this, "StringGrid1",
        {QStringLiteral("Klíč"), QStringLiteral("Soubor"), QStringLiteral("Modul")});
    StringGrid1->setGeometry(16, 118, 488, 200);
    StringGrid1->setColumnWidth(0, 170);
    StringGrid1->setColumnWidth(1, 150);
    std::tie(Button1, Button2, Button3) = TlacitkaPrace(tlacitko);
    Button1->setGeometry(16, 330, 112, 30);
    Button2->setGeometry(264, 330, 112, 30);
    Button3->setGeometry(392, 330, 112, 30);
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
    const auto rozdily = PorovnejKonfigurace(*Soubor, *Modul, CheckBox1->isChecked());
    for (const TRozdilKonfigurace& r : rozdily)
        PridejRadek(StringGrid1, {QLatin1String(NazevKlice(r.Klic)), r.VSouboru, r.VModulu});
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
