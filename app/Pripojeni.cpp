#include "Pripojeni.h"

#include "Otevreni.h"
#include "Ovladace.h"
#include "Prevod.h"
#include "RelaceModulu.h"
#include "Xxxx683.h"
#include "zr683.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>
#include <array>

namespace {

constexpr std::uint16_t VychoziBazovaAdresa = 0x300;
constexpr std::int32_t VychoziCisloPortu = 1;
constexpr std::int32_t MaxUDP = 65535;

const QString TextChybaInicializace = QStringLiteral("Chyba inicializace připojení - ");
const QString TextNeznameRozhrani = QStringLiteral("Neznámý typ rozhraní");

QString HexAdresa(std::uint16_t adresa) {
    return QStringLiteral("%1").arg(adresa, 3, 16, QChar(u'0')).toUpper() + QStringLiteral("h");
}

// The first three characters of a four-character text as a hexadecimal
// number; any other text gives the default base address.
std::uint16_t TextNaBazovouAdresu(const QString& text) {
    if (text.size() != 4) return VychoziBazovaAdresa;
    const auto hodnota = TextNaCislo(QStringLiteral("$") + text.left(3));
    return hodnota ? static_cast<std::uint16_t>(*hodnota) : VychoziBazovaAdresa;
}

// A UDP value: an integer from 0 to 65535.
std::optional<std::int32_t> HodnotaUDP(const QString& text) {
    const auto hodnota = TextNaCislo(text);
    if (!hodnota || *hodnota < 0 || *hodnota > MaxUDP) return std::nullopt;
    return hodnota;
}

} // namespace

TForm2::TForm2(TData* data, QWidget* parent) : QDialog(parent), Data(data) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Připojení modulu"));
    setFixedSize(592, 373);
    VytvorOvladace();
    RozmistiOvladace();
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TForm2::ComboBox2Change);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
}

void TForm2::VytvorOvladace() {
    auto popisek = [this](const char* jmeno, const QString& text) {
        return Vytvor<QLabel>(this, jmeno, text);
    };
    auto editace = [this](const char* jmeno) { return Vytvor<QLineEdit>(this, jmeno); };
    Label5 = popisek("Label5", QStringLiteral("Komunikační rozhraní"));
    Label3 = popisek("Label3", QString());
    Label6 = popisek("Label6", QStringLiteral("UDP port"));
    Label7 = popisek("Label7", QStringLiteral("UDP timeout"));
    Label1 = popisek("Label1", QStringLiteral("Adresa připojeného modulu"));
    Label2 = popisek("Label2", QStringLiteral("Komunikační rychlost"));
    Label4 = popisek("Label4", QStringLiteral("Status připojení"));
    Edit2 = editace("Edit2");
    Edit3 = editace("Edit3");
    Edit4 = editace("Edit4");
    Edit1 = editace("Edit1");

    VytvorSeznamy();
    VytvorPanel();

    Button1 = Vytvor<QPushButton>(this, "Button1", QStringLiteral("Inicializace připojení"));
    Button2 = Vytvor<QPushButton>(this, "Button2", QStringLiteral("Cancel"));
    // Enter in an edit must not start a connection by accident.
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
}

void TForm2::VytvorSeznamy() {
    ComboBox2 = Vytvor<QComboBox>(this, "ComboBox2");
    ComboBox2->addItems({QStringLiteral("Standardní COMx"), QStringLiteral("ISA karta KC-683"),
                         QStringLiteral("PCI karta KC-1683"),
                         QStringLiteral("USB konvertor KU-1683"),
                         QStringLiteral("LAN konvertor ZR-1683")});
    ComboBox1 = Vytvor<QComboBox>(this, "ComboBox1");
    for (int i = 0; i < PocetRychlosti; ++i)
        ComboBox1->addItem(TextRychlosti(i));
    ComboBox1->setCurrentIndex(VychoziIndexRychlosti);
}

// The status panel: white, with a lowered double bevel.
void TForm2::VytvorPanel() {
    Panel1 = Vytvor<QLabel>(this, "Panel1");
    Panel1->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel1->setIndent(6);
    Panel1->setAutoFillBackground(true);
    QPalette paleta = Panel1->palette();
    paleta.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(paleta);
}

void TForm2::RozmistiOvladace() {
    constexpr int Vlevo = 16, Vpravo = 240, SirkaPopisku = 216, SirkaVstupu = 200, Vyska = 24;
    const std::array<std::pair<QLabel*, QWidget*>, 6> radky = {{{Label5, ComboBox2},
                                                                {Label3, Edit2},
                                                                {Label6, Edit3},
                                                                {Label7, Edit4},
                                                                {Label1, Edit1},
                                                                {Label2, ComboBox1}}};
    int y = 20;
    for (const auto& [popisek, vstup] : radky) {
        popisek->setGeometry(Vlevo, y, SirkaPopisku, Vyska);
        vstup->setGeometry(Vpravo, y, SirkaVstupu, Vyska);
        y += 36;
    }
    Label4->setGeometry(Vlevo, 244, SirkaPopisku, Vyska);
    Panel1->setGeometry(Vlevo, 270, 560, 30);
    Button1->setGeometry(Vlevo, 322, 200, 32);
    Button2->setGeometry(476, 322, 100, 32);
    // Focus moves top to bottom.
    const std::array<QWidget*, 8> poradi = {ComboBox2, Edit2,     Edit3,   Edit4,
                                            Edit1,     ComboBox1, Button1, Button2};
    for (std::size_t i = 1; i < poradi.size(); ++i)
        setTabOrder(poradi[i - 1], poradi[i]);
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // Centred on the screen, not over the main window.
    NaStredObrazovky(this);
    FormShow();
}

void TForm2::FormShow() {
    if (Data == nullptr) return;
    Edit1->setText(QString::number(Data->Adresa));
    ComboBox1->setCurrentIndex(RychlostNaIndex(Data->Rychlost));
    ComboBox2->setCurrentIndex(Data->Rozhrani < ComboBox2->count() ? Data->Rozhrani : -1);
    PouzijViditelnost(Data->Rozhrani);
    ZobrazStav(Data->StavPripojeni, false);
}

void TForm2::ComboBox2Change(int index) {
    if (Data == nullptr) return;
    PouzijViditelnost(index);
    if (index < 0 || index > ZR683_TYPE_LAN) {
        ZobrazStav(TextNeznameRozhrani, false);
        Label3->show();
        Edit2->show();
    }
}

// Shows the parameter controls of the interface type, filled from the record.
void TForm2::PouzijViditelnost(int rozhrani) {
    for (QWidget* w : std::initializer_list<QWidget*>{Label3, Edit2, Label6, Edit3, Label7, Edit4})
        w->hide();
    switch (rozhrani) {
    case 0:
        Label3->setText(QStringLiteral("Číslo portu COMx"));
        Edit2->setText(QString::number(Data->CisloPortu));
        break;
    case 1:
        Label3->setText(QStringLiteral("Bázová adresa KC-683"));
        Edit2->setText(HexAdresa(Data->BazovaAdresa));
        break;
    case ZR683_TYPE_LAN:
        Label3->setText(QStringLiteral("IP adresa"));
        Edit2->setText(Data->IPAdresa);
        Label6->setText(QStringLiteral("UDP port"));
        Edit3->setText(QString::number(Data->UDPPort));
        Label7->setText(QStringLiteral("UDP timeout"));
        Edit4->setText(QString::number(Data->UDPTimeout));
        for (QWidget* w : std::initializer_list<QWidget*>{Label6, Edit3, Label7, Edit4})
            w->show();
        break;
    default:
        return;
    }
    Label3->show();
    Edit2->show();
}

void TForm2::ZobrazStav(const QString& text, bool hned) {
    NastavTextPanelu(Panel1, text);
    if (hned) Panel1->repaint();
}

void TForm2::Button2Click() {
    reject();
}

void TForm2::Button1Click() {
    if (Data == nullptr) return;
    ZavriOtevrene();
    ZobrazStav(QStringLiteral("Probíhá inicializace připojení"), true);
    const std::uint8_t adresa = PrevezmiAdresu();
    const auto indexRychlosti = static_cast<std::uint8_t>(ComboBox1->currentIndex());
    Data->Rozhrani = static_cast<std::uint8_t>(ComboBox2->currentIndex());
    Data->Parametry.fill(0);
    if (!PrevezmiParametry()) return;

    // Steps 6 to 11: _Init, _SetConfig, the five identification commands.
    const std::int32_t rychlost = IndexNaRychlost(indexRychlosti);
    // Steps 9 and 10: the failure is shown, painted, before the library is
    // shut down.
    const TOtevreni o = OtevriPripojeni(*Data, rychlost, adresa, [this](const TOtevreni& chyba) {
        ZobrazStav(chyba.Krok == TKrokOtevreni::Identifikace ? chyba.Text
                                                             : TextChybaInicializace + chyba.Text,
                   true);
    });
    if (!o.Ok()) return;
    PrevezmiModul(*Data, adresa, rychlost, o.Id);
    ZobrazStav(QStringLiteral("Připojení úspěšně inicializováno. Připojen modul   ") + Data->Modul,
               true);
}

// Step 1: a usable connection is shut down before a new one is opened.
void TForm2::ZavriOtevrene() {
    if (!PripojeniPouzitelne(Data)) return;
    std::uint32_t spojeni = Data->Spojeni;
    KonecRozhrani(Data->Rozhrani, spojeni);
    Data->Spojeni = spojeni;
    Data->Inicializovano = false;
}

// Step 3: the low 8 bits of the typed number (0 when it is none), shown back.
std::uint8_t TForm2::PrevezmiAdresu() {
    const auto adresa = static_cast<std::uint8_t>(StrToIntDef(Edit1->text(), 0));
    Edit1->setText(QString::number(adresa));
    return adresa;
}

bool TForm2::PrevezmiParametry() {
    switch (Data->Rozhrani) {
    case ZR683_TYPE_COM:
        return PrevezmiCOM();
    case ZR683_TYPE_ISA:
        return PrevezmiISA();
    case ZR683_TYPE_PCI:
    case ZR683_TYPE_USB:
        return true;
    case ZR683_TYPE_LAN:
        return PrevezmiLAN();
    default:
        ZobrazStav(TextNeznameRozhrani, false);
        return false;
    }
}

bool TForm2::PrevezmiCOM() {
    const auto port = static_cast<std::uint16_t>(StrToIntDef(Edit2->text(), VychoziCisloPortu));
    Edit2->setText(QString::number(port));
    Data->CisloPortu = static_cast<std::uint8_t>(port);
    return NaplnParametry(*Data, port);
}

bool TForm2::PrevezmiISA() {
    const std::uint16_t adresa = TextNaBazovouAdresu(Edit2->text());
    Data->BazovaAdresa = adresa;
    Edit2->setText(HexAdresa(adresa));
    return NaplnParametry(*Data, 0);
}

bool TForm2::PrevezmiLAN() {
    const QString neplatnaIP = QStringLiteral("Neplatná IP adresa");
    if (Edit2->text().isEmpty()) {
        ZobrazStav(neplatnaIP, false);
        return false;
    }
    Data->IPAdresa = Edit2->text();
    const auto port = HodnotaUDP(Edit3->text());
    if (!port) {
        ZobrazStav(QStringLiteral("Neplatný UDP port"), false);
        return false;
    }
    Data->UDPPort = *port;
    const auto timeout = HodnotaUDP(Edit4->text());
    if (!timeout) {
        ZobrazStav(QStringLiteral("Neplatný UDP timeout"), false);
        return false;
    }
    Data->UDPTimeout = *timeout;
    // The IP text travels inside the block; a text that does not fit is refused.
    if (!NaplnParametry(*Data, 0)) {
        ZobrazStav(neplatnaIP, false);
        return false;
    }
    return true;
}
