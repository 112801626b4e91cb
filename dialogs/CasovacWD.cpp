#include "CasovacWD.h"

#include "Identifikace.h"
#include "Ovladace.h"
#include "Prevod.h"
#include "Prikazy.h"
#include "RegistryKonfigurace.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

namespace {

// No message processing between commands: nothing can interleave with the
// sequence. The read-back repeats the value written.
const TSekvenceRegistru& SekvenceWD = SekvenceKonfigurace::Watchdog;

// The firmware version that has a relay switch-off time.
bool VerzeSRele(const QString& verze) {
    return verze == QLatin1String("1.04");
}

// The version: characters 12 to 15 of the identification "NNNNNNNN v.X.YZ";
// a shorter text reads as blanks there.
QString VerzeZIdentifikace(const QString& modul) {
    return (modul + QString(16, QLatin1Char(' '))).mid(11, 4);
}

// The value of an edit within 1 to nejvic; a text that does not
// convert is out of range.
std::optional<std::uint16_t> Cas(const QLineEdit* edit, int nejvic) {
    const auto hodnota = TextNaCislo(edit->text());
    if (!hodnota || *hodnota < 1 || *hodnota > nejvic) return std::nullopt;
    return static_cast<std::uint16_t>(*hodnota);
}

const QString RozsahKratky = QStringLiteral(" Čas musí být v rozsahu 1-255.");
const QString RozsahDlouhy = QStringLiteral(" Čas musí být v rozsahu 1-65535.");

} // namespace

TForm4::TForm4(TData* data, QWidget* parent) : TKonfiguracniDialog(data, SekvenceWD, parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Časovač watchdog"));
    setFixedSize(400, 180);
    GroupBox1 = Vytvor<QGroupBox>(this, "GroupBox1", QStringLiteral(" Aktivace časovače "));
    RadioButton1 =
        Vytvor<QRadioButton>(GroupBox1, "RadioButton1", QStringLiteral("watchdog vypnut"));
    RadioButton2 =
        Vytvor<QRadioButton>(GroupBox1, "RadioButton2", QStringLiteral("watchdog aktivován"));
    Label1 = Vytvor<QLabel>(this, "Label1", QStringLiteral("Inicializační čas  (1-65535s)"));
    Edit1 = Vytvor<QLineEdit>(this, "Edit1", QStringLiteral("Edit1"));
    Label2 = Vytvor<QLabel>(this, "Label2", QStringLiteral("Doba vypnutí relé (1-65535s)"));
    Edit2 = Vytvor<QLineEdit>(this, "Edit2", QStringLiteral("Edit2"));

    GroupBox1->setGeometry(8, 8, 168, 96);
    RadioButton1->setGeometry(12, 28, 150, 20);
    RadioButton2->setGeometry(12, 60, 150, 20);
    Label1->setGeometry(192, 8, 200, 18);
    Edit1->setGeometry(192, 28, 120, 24);
    Label2->setGeometry(192, 58, 200, 18);
    Edit2->setGeometry(192, 78, 120, 24);
    RozmistiTlacitka(8, 118, 90, 25, 8);
    setTabOrder(RadioButton1, RadioButton2);
    setTabOrder(RadioButton2, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
}

// Taken at every show and kept while the dialog is open.
void TForm4::PripravZobrazeni() {
    Verze = VerzeZIdentifikace(Data->Modul);
    Label1->setText(JednobajtovyInicializacniCas(Verze)
                        ? QStringLiteral("Inicializační čas (1-255s)")
                        : QStringLiteral("Inicializační čas (1-65535s)"));
    Label2->setVisible(VerzeSRele(Verze));
    Edit2->setVisible(VerzeSRele(Verze));
}

void TForm4::ZapisOkno(const TKonfigurace& konfigurace) {
    (konfigurace.AktivaceCasovace == 0 ? RadioButton1 : RadioButton2)->setChecked(true);
    Edit1->setText(QString::number(konfigurace.InicializacniCas));
    Edit2->setText(QString::number(konfigurace.DobaVypnutiRele));
}

// Stops at the first invalid time; a time taken before it stays taken. The
// relay switch-off time is checked also while it is hidden.
void TForm4::PrectiOkno(TKonfigurace& konfigurace) {
    const bool kratky = JednobajtovyInicializacniCas(Verze);
    const auto inicializacni = Cas(Edit1, kratky ? 255 : 65535);
    if (!inicializacni) {
        ZobrazStav(kratky ? RozsahKratky : RozsahDlouhy);
        return;
    }
    konfigurace.InicializacniCas = *inicializacni;
    const auto vypnuti = Cas(Edit2, 65535);
    if (!vypnuti) {
        ZobrazStav(RozsahDlouhy);
        return;
    }
    konfigurace.DobaVypnutiRele = *vypnuti;
    konfigurace.AktivaceCasovace = RadioButton1->isChecked() ? 0 : 1;
    ZobrazStav(QStringLiteral(" "));
}
