// The connection dialog against the scriptable fake driver libraries.
#include "FakeOvladac.h"
#include "Pomocne.h"
#include "Pripojeni.h"
#include "Xxxx683.h"

#include <QClipboard>
#include <QComboBox>
#include <QScreen>
#include <cstring>
#include <memory>

namespace {

const QString NeinicializovanoText = QStringLiteral("Připojení modulu dosud neinicializováno");
const QString UspechText = QStringLiteral("Připojení úspěšně inicializováno. Připojen modul   ");

// Answers of the five identification items; each status byte is distinct so
// that the chaining of D1 shows in the requests.
void SkriptIdentifikace(FakeOvladac& fake) {
    fake.Odpoved(200, 0, -1, 0x11, {'A', 'B', 'C', 'D'});
    fake.Odpoved(200, 1, -1, 0x22, {'E', 'F', 'G', 'H'});
    fake.Odpoved(200, 2, -1, 0x33, {'1', '.', '0', '4'});
    fake.Odpoved(200, 10, -1, 0x44, {'S', 'U', 'P', 'P'});
    fake.Odpoved(200, 11, -1, 0x55, {'L', 'E', 'M', '1'});
}

class Pripojeni : public ::testing::Test {
protected:
    void SetUp() override {
        VychoziData(&data);
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_DIR));
    }
    void TearDown() override {
        dialog.reset();
        if (data.Inicializovano && data.Spojeni != 0) KonecRozhrani(data.Rozhrani, data.Spojeni);
        NastavAdresarKnihoven(QString());
    }
    void Otevri() {
        dialog = std::make_unique<TForm2>(&data);
        dialog->show();
    }
    void Vyber(int rozhrani) {
        Prvek<QComboBox>(dialog.get(), "ComboBox2")->setCurrentIndex(rozhrani);
    }
    void Stiskni() { Klikni(dialog.get(), "Button1"); }
    QString Stav() const { return Text(dialog.get(), "Panel1"); }
    QLineEdit* Edit(const char* jmeno) const { return Prvek<QLineEdit>(dialog.get(), jmeno); }
    bool Viditelny(const char* jmeno) const {
        return Prvek<QWidget>(dialog.get(), jmeno)->isVisible();
    }
    // A LAN press with the given texts of the three edits.
    void NapisLAN(const QString& ip, const QString& port, const QString& timeout) {
        Vyber(4);
        Napis(Edit("Edit2"), ip);
        Napis(Edit("Edit3"), port);
        Napis(Edit("Edit4"), timeout);
    }
    // A complete successful connection through the fake of `typ`.
    void Pripoj(FakeOvladac& fake, int typ) {
        SkriptIdentifikace(fake);
        Vyber(typ);
        Stiskni();
        ASSERT_EQ(Stav(), UspechText + QStringLiteral("ABCDEFGH v.1.04"));
    }

    TData data;
    std::unique_ptr<TForm2> dialog;
};

TEST_F(Pripojeni, VychoziStavOkna) {
    Otevri();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Připojení modulu"));
    EXPECT_EQ(dialog->size(), QSize(592, 373));
    auto* rozhrani = Prvek<QComboBox>(dialog.get(), "ComboBox2");
    EXPECT_EQ(rozhrani->currentText(), QStringLiteral("Standardní COMx"));
    EXPECT_EQ(rozhrani->count(), 5);
    EXPECT_EQ(Text(dialog.get(), "Label3"), QStringLiteral("Číslo portu COMx"));
    EXPECT_EQ(Text(dialog.get(), "Edit2"), QStringLiteral("1"));
    EXPECT_EQ(Text(dialog.get(), "Edit1"), QStringLiteral("0"));
    EXPECT_EQ(Prvek<QComboBox>(dialog.get(), "ComboBox1")->currentText(),
              QStringLiteral("9600 Bd"));
    EXPECT_EQ(Stav(), NeinicializovanoText);
    for (const char* skryty : {"Label6", "Edit3", "Label7", "Edit4"})
        EXPECT_FALSE(Viditelny(skryty));
    EXPECT_EQ(Text(dialog.get(), "Label1"), QStringLiteral("Adresa připojeného modulu"));
    EXPECT_EQ(Prvek<QPushButton>(dialog.get(), "Button1")->text(),
              QStringLiteral("Inicializace připojení"));
    EXPECT_EQ(Prvek<QPushButton>(dialog.get(), "Button2")->text(), QStringLiteral("Cancel"));
}

TEST_F(Pripojeni, ViditelnostPodleRozhrani) {
    data.BazovaAdresa = 0x2A0;
    data.IPAdresa = QStringLiteral("127.0.0.1");
    Otevri();
    Vyber(1);
    EXPECT_EQ(Text(dialog.get(), "Label3"), QStringLiteral("Bázová adresa KC-683"));
    EXPECT_EQ(Text(dialog.get(), "Edit2"), QStringLiteral("2A0h"));
    EXPECT_TRUE(Viditelny("Edit2"));
    EXPECT_FALSE(Viditelny("Edit3"));
    for (int typ : {2, 3}) {
        Vyber(typ);
        for (const char* skryty : {"Label3", "Edit2", "Label6", "Edit3", "Label7", "Edit4"})
            EXPECT_FALSE(Viditelny(skryty)) << typ << skryty;
    }
    Vyber(4);
    EXPECT_EQ(Text(dialog.get(), "Label3"), QStringLiteral("IP adresa"));
    EXPECT_EQ(Text(dialog.get(), "Label6"), QStringLiteral("UDP port"));
    EXPECT_EQ(Text(dialog.get(), "Label7"), QStringLiteral("UDP timeout"));
    EXPECT_EQ(Text(dialog.get(), "Edit2"), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(Text(dialog.get(), "Edit3"), QStringLiteral("5000"));
    EXPECT_EQ(Text(dialog.get(), "Edit4"), QStringLiteral("100"));
    for (const char* w : {"Label3", "Edit2", "Label6", "Edit3", "Label7", "Edit4"})
        EXPECT_TRUE(Viditelny(w)) << w;

    // Edited texts are not kept when switching away and back.
    NapisLAN(QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("2"));
    Vyber(0);
    EXPECT_EQ(Text(dialog.get(), "Edit2"), QStringLiteral("1"));
    Vyber(4);
    EXPECT_EQ(Text(dialog.get(), "Edit2"), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(Text(dialog.get(), "Edit3"), QStringLiteral("5000"));
    EXPECT_EQ(Text(dialog.get(), "Edit4"), QStringLiteral("100"));
    EXPECT_EQ(data.Rozhrani, 0) << "the type changes only with a press";

    Vyber(-1);
    EXPECT_EQ(Stav(), QStringLiteral("Neznámý typ rozhraní"));
    EXPECT_TRUE(Viditelny("Edit2"));
    EXPECT_FALSE(Viditelny("Edit3"));
}

TEST_F(Pripojeni, OtevreniUkazeUlozeneHodnoty) {
    data.Rozhrani = 1;
    data.BazovaAdresa = 0x1234;
    data.Adresa = 17;
    data.Rychlost = 57600;
    data.StavPripojeni = QStringLiteral("V pořádku");
    Otevri();
    EXPECT_EQ(Prvek<QComboBox>(dialog.get(), "ComboBox2")->currentIndex(), 1);
    EXPECT_EQ(Text(dialog.get(), "Edit2"), QStringLiteral("1234h"));
    EXPECT_EQ(Text(dialog.get(), "Edit1"), QStringLiteral("17"));
    EXPECT_EQ(Prvek<QComboBox>(dialog.get(), "ComboBox1")->currentIndex(), 7);
    EXPECT_EQ(Stav(), QStringLiteral("V pořádku"));
}

TEST_F(Pripojeni, AdresaModuluBereDolnichOsmBitu) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 2);
    Otevri();
    Vyber(2);
    const std::pair<const char*, std::uint32_t> pripady[] = {
        {"300", 44}, {"-1", 255}, {"abc", 0}, {"99999999999999999999", 0}, {"$1F", 31}};
    for (const auto& [text, adresa] : pripady) {
        fake.Reset();
        SkriptIdentifikace(fake);
        Napis(Edit("Edit1"), QString::fromLatin1(text));
        Stiskni();
        EXPECT_EQ(Text(dialog.get(), "Edit1"), QString::number(adresa)) << text;
        EXPECT_EQ(data.Adresa, adresa) << text;
        const auto odeslane = fake.Volani(FakeSend);
        ASSERT_EQ(odeslane.size(), 5u) << text;
        for (const FakeVolani& v : odeslane)
            EXPECT_EQ(v.blok[0], adresa) << text;
    }
}

TEST_F(Pripojeni, BazovaAdresaISA) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 1);
    Otevri();
    Vyber(1);
    const std::tuple<const char*, std::uint16_t, const char*> pripady[] = {
        {"2A0h", 672, "2A0h"},  {"2a0h", 672, "2A0h"}, {"2A0x", 672, "2A0h"}, {"2A0", 768, "300h"},
        {"0x2A0", 768, "300h"}, {"2g0h", 768, "300h"}, {"-2Ah", 768, "300h"}, {"", 768, "300h"}};
    for (const auto& [text, adresa, zobrazeno] : pripady) {
        fake.Reset();
        Napis(Edit("Edit2"), QString::fromLatin1(text));
        Stiskni();
        EXPECT_EQ(Text(dialog.get(), "Edit2"), QString::fromLatin1(zobrazeno)) << text;
        EXPECT_EQ(data.BazovaAdresa, adresa) << text;
        EXPECT_EQ(data.Parametry[0], adresa) << text;
        const auto init = fake.Volani(FakeInit);
        ASSERT_EQ(init.size(), 1u) << text;
        EXPECT_EQ(init[0].argumenty[0], adresa) << text;
        KonecRozhrani(data.Rozhrani, data.Spojeni);
        data.Inicializovano = false;
    }
}

TEST_F(Pripojeni, CisloPortuCOM) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 0);
    Otevri();
    const std::tuple<const char*, std::uint32_t, std::uint8_t> pripady[] = {
        {"3", 3, 3}, {"abc", 1, 1}, {"70000", 4464, 112}, {"-1", 65535, 255}};
    for (const auto& [text, slovo, port] : pripady) {
        fake.Reset();
        Napis(Edit("Edit2"), QString::fromLatin1(text));
        Stiskni();
        EXPECT_EQ(Text(dialog.get(), "Edit2"), QString::number(slovo)) << text;
        EXPECT_EQ(data.CisloPortu, port) << text;
        const auto init = fake.Volani(FakeInit);
        ASSERT_EQ(init.size(), 1u) << text;
        EXPECT_EQ(init[0].argumenty[0], slovo) << text;
        KonecRozhrani(data.Rozhrani, data.Spojeni);
        data.Inicializovano = false;
    }
}

TEST_F(Pripojeni, UDPPortATimeoutMezi) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 4);
    Otevri();
    const QString ip = QStringLiteral("127.0.0.1");
    for (const char* dobry : {"0", "65535"}) {
        fake.Reset();
        NapisLAN(ip, QLatin1String(dobry), QLatin1String(dobry));
        Stiskni();
        EXPECT_EQ(fake.Volani(FakeInit).size(), 1u) << dobry;
        EXPECT_EQ(data.UDPPort, QString::fromLatin1(dobry).toInt());
        EXPECT_EQ(data.UDPTimeout, QString::fromLatin1(dobry).toInt());
        KonecRozhrani(data.Rozhrani, data.Spojeni);
        data.Inicializovano = false;
    }
    for (const char* spatny : {"65536", "-1", "abc", "", "99999999999999999999"}) {
        fake.Reset();
        NapisLAN(ip, QLatin1String(spatny), QStringLiteral("100"));
        Stiskni();
        EXPECT_EQ(Stav(), QStringLiteral("Neplatný UDP port")) << spatny;
        NapisLAN(ip, QStringLiteral("5000"), QLatin1String(spatny));
        Stiskni();
        EXPECT_EQ(Stav(), QStringLiteral("Neplatný UDP timeout")) << spatny;
        EXPECT_TRUE(fake.Volani().empty()) << spatny;
    }
}

TEST_F(Pripojeni, IPAdresaPrazdnaNeboPrilisDlouha) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 4);
    Otevri();
    NapisLAN(QString(), QStringLiteral("5000"), QStringLiteral("100"));
    Stiskni();
    EXPECT_EQ(Stav(), QStringLiteral("Neplatná IP adresa"));
    // 52 characters do not fit into the block: refused, never cut.
    NapisLAN(QString(52, u'1'), QStringLiteral("5000"), QStringLiteral("100"));
    Stiskni();
    EXPECT_EQ(Stav(), QStringLiteral("Neplatná IP adresa"));
    EXPECT_TRUE(fake.Volani().empty());
    EXPECT_EQ(data.Parametry, TParametry{});

    // Any other text is taken as typed; the library gets it in the block.
    NapisLAN(QStringLiteral("not-an-address"), QStringLiteral("5001"), QStringLiteral("250"));
    Stiskni();
    const auto init = fake.Volani(FakeInit);
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0].blok[0], 12u);
    EXPECT_EQ(init[0].blok[1], 5001u);
    EXPECT_EQ(init[0].blok[2], 250u);
    const char* text = reinterpret_cast<const char*>(init[0].blok) + 12;
    EXPECT_STREQ(text, "not-an-address");
    EXPECT_EQ(data.IPAdresa, QStringLiteral("not-an-address"));
}

TEST_F(Pripojeni, UspesnaIdentifikace) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 3);
    fake.Spojeni(7, 0);
    Otevri();
    Prvek<QComboBox>(dialog.get(), "ComboBox1")->setCurrentIndex(5);
    Napis(Edit("Edit1"), QStringLiteral("12"));
    Pripoj(fake, 3);

    EXPECT_EQ(data.Modul, QStringLiteral("ABCDEFGH v.1.04"));
    EXPECT_EQ(data.ModulDoplnek, QStringLiteral("SUPPLEM1"));
    EXPECT_EQ(data.Adresa, 12);
    EXPECT_EQ(data.Rychlost, 19200);
    EXPECT_EQ(data.StavPripojeni, QStringLiteral("V pořádku"));
    EXPECT_EQ(data.Spojeni, 7u);
    EXPECT_TRUE(data.Inicializovano);
    EXPECT_EQ(data.Rozhrani, 3);

    const auto nastaveni = fake.Volani(FakeSetConfig);
    ASSERT_EQ(nastaveni.size(), 1u);
    EXPECT_EQ(nastaveni[0].spojeni, 7u);
    EXPECT_EQ(nastaveni[0].argumenty[0], 19200u);
    EXPECT_EQ(nastaveni[0].argumenty[1], 200u);
    EXPECT_EQ(nastaveni[0].argumenty[2], 2u);

    const auto odeslane = fake.Volani(FakeSend);
    ASSERT_EQ(odeslane.size(), 5u);
    const std::uint32_t polozky[] = {0, 1, 2, 10, 11};
    const std::uint32_t predchoziStatus[] = {0, 0x11, 0x22, 0x33, 0x44};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(odeslane[i].spojeni, 7u);
        EXPECT_EQ(odeslane[i].blok[1], 200u);
        EXPECT_EQ(odeslane[i].blok[2], polozky[i]);
        EXPECT_EQ(odeslane[i].blok[3], predchoziStatus[i]) << "D1 of item " << polozky[i];
        for (int d = 4; d < 8; ++d)
            EXPECT_EQ(odeslane[i].blok[d], 0u);
    }
    EXPECT_TRUE(fake.Volani(FakeDone).empty());
}

// A library that writes only the low byte of the result variable: the bits
// above it are whatever the variable held, and 0x5A00 is success.
TEST_F(Pripojeni, VysledekJenZNizsihoBajtu) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 3);
    fake.SendVysledek(0x5A00);
    Otevri();
    Pripoj(fake, 3);
    EXPECT_TRUE(data.Inicializovano);
    EXPECT_EQ(data.ModulDoplnek, QStringLiteral("SUPPLEM1"));
}

// Panel1 is painted with the progress text while the press is still running,
// and with the success text before the handler ends.
TEST_F(Pripojeni, StavSeKresliHnedBehemStisku) {
    struct Zaznamnik : QObject {
        QStringList texty;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Paint) texty << static_cast<QLabel*>(o)->text();
            return false;
        }
    } zaznamnik;
    FakeOvladac fake(ZR_FAKELIB_DIR, 2);
    Otevri();
    QApplication::processEvents();
    Prvek<QLabel>(dialog.get(), "Panel1")->installEventFilter(&zaznamnik);
    Pripoj(fake, 2);
    Prvek<QLabel>(dialog.get(), "Panel1")->removeEventFilter(&zaznamnik);
    ASSERT_GE(zaznamnik.texty.size(), 2);
    EXPECT_EQ(zaznamnik.texty[0], QStringLiteral("Probíhá inicializace připojení"));
    EXPECT_EQ(zaznamnik.texty[1], UspechText + QStringLiteral("ABCDEFGH v.1.04"));
}

// A library text longer than the panel stays whole in the panel's text and
// in its tooltip; every later text replaces both.
TEST_F(Pripojeni, DlouhyTextCelyVTipu) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 2);
    const std::string dlouhy = "chyba " + std::string(80, 'x') + " konec";
    fake.Text(dlouhy.c_str());
    fake.Vysledek(FakeInit, 5);
    Otevri();
    auto* panel = Prvek<QLabel>(dialog.get(), "Panel1");
    EXPECT_EQ(panel->toolTip(), NeinicializovanoText);
    Vyber(2);
    Stiskni();
    const QString cely =
        QStringLiteral("Chyba inicializace připojení - ") + QString::fromLatin1(dlouhy);
    EXPECT_EQ(Stav(), cely);
    EXPECT_EQ(panel->toolTip(), cely);
    EXPECT_GT(panel->fontMetrics().horizontalAdvance(cely), panel->contentsRect().width())
        << "the text is longer than the panel";

    fake.Vysledek(FakeInit, 0);
    SkriptIdentifikace(fake);
    Stiskni();
    EXPECT_EQ(panel->toolTip(), UspechText + QStringLiteral("ABCDEFGH v.1.04"));
}

TEST_F(Pripojeni, StredObrazovkyJeRodicem) {
    QWidget rodic;
    rodic.setGeometry(0, 0, 200, 100);
    rodic.show();
    TForm2 okno(&data, &rodic);
    okno.show();
    const QPoint stred = okno.screen()->availableGeometry().center();
    // Within the width of the frame, which is placed before it is known.
    EXPECT_LE((okno.geometry().center() - stred).manhattanLength(), 8);
}

// Every failure of the sequence: its text in Panel1 and what it leaves.
struct Selhani {
    const char* Popis; // also the case's test name
    const char* Adresar;
    std::function<void(FakeOvladac&)> Skript;
    QString Text;
    bool Ukonceno; // the library was shut down after the failure
};

class PripojeniSelhani : public Pripojeni, public ::testing::WithParamInterface<int> {};

const Selhani& PripadSelhani(int i) {
    static const Selhani pripady[] = {
        {"chybi_knihovna", ZR_FAKELIB_EMPTY_DIR, [](FakeOvladac&) {},
         QStringLiteral("Chyba inicializace připojení - chyba inicializace knihovny XZR1683.DLL"),
         false},
        {"neni_knihovna", ZR_FAKELIB_INVALID_DIR, [](FakeOvladac&) {},
         QStringLiteral("Chyba inicializace připojení - chyba inicializace knihovny XZR1683.DLL"),
         false},
        {"chybi_vstup", ZR_FAKELIB_NOSEND_DIR, [](FakeOvladac&) {},
         QStringLiteral("Chyba inicializace připojení - chybná knihovna XZR1683.DLL"), false},
        {"Init_selze", ZR_FAKELIB_DIR, [](FakeOvladac& f) { f.Vysledek(FakeInit, 5); },
         QStringLiteral("Chyba inicializace připojení - fake chyba 5"), false},
        {"SetConfig_selze", ZR_FAKELIB_DIR, [](FakeOvladac& f) { f.Vysledek(FakeSetConfig, 7); },
         QStringLiteral("Chyba inicializace připojení - fake chyba 7"), true},
        {"Send_selze", ZR_FAKELIB_DIR, [](FakeOvladac& f) { f.Vysledek(FakeSend, 6); },
         QStringLiteral("fake chyba 6"), true},
        {"vysledek_Send", ZR_FAKELIB_DIR, [](FakeOvladac& f) { f.SendVysledek(8); },
         QStringLiteral("fake chyba 8"), true},
        {"nulove_spojeni", ZR_FAKELIB_DIR, [](FakeOvladac& f) { f.Spojeni(0, 0); },
         QStringLiteral("fake chyba 10"), true},
        // Only the low byte of the result variable and of the return counts;
        // a non-zero return with a low byte of 0 is still a failure.
        {"vysledek_se_skrytymi_bity", ZR_FAKELIB_DIR,
         [](FakeOvladac& f) { f.SendVysledek(0x5A21); }, QStringLiteral("fake chyba 33"), true},
        {"navrat_289", ZR_FAKELIB_DIR, [](FakeOvladac& f) { f.Vysledek(FakeSend, 289); },
         QStringLiteral("fake chyba 33"), true},
        {"navrat_256", ZR_FAKELIB_DIR, [](FakeOvladac& f) { f.Vysledek(FakeSend, 256); },
         QStringLiteral("neznámý chybový kód"), true},
    };
    return pripady[i];
}

// Starting from a working COM connection, a LAN press that fails.
TEST_P(PripojeniSelhani, TextAStavZaznamu) {
    const Selhani& pripad = PripadSelhani(GetParam());
    FakeOvladac com(ZR_FAKELIB_DIR, 0);
    Otevri();
    Pripoj(com, 0);
    const TData pred = data;

    FakeOvladac lan(pripad.Adresar, 4);
    pripad.Skript(lan);
    // What Panel1 shows, and last painted, when the library is shut down.
    struct Panel : QObject {
        QLabel* label;
        QString nakresleno, priDone, nakreslenoPriDone;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) nakresleno = label->text();
            return false;
        }
    } panel;
    panel.label = Prvek<QLabel>(dialog.get(), "Panel1");
    panel.label->installEventFilter(&panel);
    QApplication::processEvents(); // shown on the screen, so that it can paint
    lan.PriVolani(
        [](uint32_t vstup, void* p) {
            auto* z = static_cast<Panel*>(p);
            if (vstup != FakeDone) return;
            z->priDone = z->label->text();
            z->nakreslenoPriDone = z->nakresleno;
        },
        &panel);
    NastavAdresarKnihoven(QString::fromLatin1(pripad.Adresar));
    NapisLAN(QStringLiteral("127.0.0.1"), QStringLiteral("5002"), QStringLiteral("300"));
    Prvek<QComboBox>(dialog.get(), "ComboBox1")->setCurrentIndex(0);
    Napis(Edit("Edit1"), QStringLiteral("9"));
    Stiskni();

    EXPECT_EQ(Stav(), pripad.Text);
    EXPECT_EQ(Prvek<QLabel>(dialog.get(), "Panel1")->toolTip(), pripad.Text);
    EXPECT_EQ(com.Volani(FakeDone).size(), 1u) << "the open connection is closed first";
    EXPECT_FALSE(data.Inicializovano);
    EXPECT_EQ(data.Rozhrani, 4);
    EXPECT_EQ(data.IPAdresa, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(data.UDPPort, 5002);
    EXPECT_EQ(data.UDPTimeout, 300);
    EXPECT_EQ(data.Parametry[1], 5002u);
    EXPECT_EQ(data.Adresa, pred.Adresa);
    EXPECT_EQ(data.Rychlost, pred.Rychlost);
    EXPECT_EQ(data.Modul, pred.Modul);
    EXPECT_EQ(data.ModulDoplnek, pred.ModulDoplnek);
    EXPECT_EQ(data.StavPripojeni, pred.StavPripojeni);
    EXPECT_EQ(Text(dialog.get(), "Edit1"), QStringLiteral("9"));
    if (lan.Otevren()) {
        EXPECT_EQ(lan.Volani(FakeDone).size(), pripad.Ukonceno ? 1u : 0u);
        EXPECT_EQ(panel.priDone, pripad.Ukonceno ? pripad.Text : QString());
        EXPECT_EQ(panel.nakreslenoPriDone, panel.priDone) << "painted before _Done";
    }
    lan.PriVolani(nullptr, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Vsechna, PripojeniSelhani, ::testing::Range(0, 11), [](const auto& info) {
    return std::string(PripadSelhani(info.param).Popis);
});

TEST_F(Pripojeni, NeplatnyVstupPoPripojeniOdpoji) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 0);
    Otevri();
    Pripoj(fake, 0);
    const TData pred = data;
    NapisLAN(QStringLiteral("127.0.0.1"), QStringLiteral("abc"), QStringLiteral("100"));
    Stiskni();
    EXPECT_EQ(Stav(), QStringLiteral("Neplatný UDP port"));
    EXPECT_EQ(fake.Volani(FakeDone).size(), 1u);
    EXPECT_FALSE(data.Inicializovano);
    EXPECT_EQ(data.Rozhrani, 4);
    EXPECT_EQ(data.IPAdresa, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(data.UDPPort, pred.UDPPort);
    EXPECT_EQ(data.Parametry, TParametry{});
    EXPECT_EQ(data.Modul, pred.Modul);
    EXPECT_EQ(data.StavPripojeni, pred.StavPripojeni);

    // A second press with an empty IP address does not call the library again.
    NapisLAN(QString(), QStringLiteral("1"), QStringLiteral("1"));
    Stiskni();
    EXPECT_EQ(Stav(), QStringLiteral("Neplatná IP adresa"));
    EXPECT_EQ(fake.Volani(FakeDone).size(), 1u);
}

TEST_F(Pripojeni, DruhePripojeniUkonciPredchoziKnihovnu) {
    FakeOvladac com(ZR_FAKELIB_DIR, 0);
    FakeOvladac usb(ZR_FAKELIB_DIR, 3);
    Otevri();
    Pripoj(com, 0);
    Pripoj(usb, 3);
    ASSERT_EQ(com.Volani(FakeDone).size(), 1u);
    EXPECT_EQ(com.Volani(FakeDone)[0].spojeni, 1u);
    EXPECT_EQ(usb.Volani(FakeInit).size(), 1u);
    EXPECT_TRUE(usb.Volani(FakeDone).empty());
    EXPECT_EQ(data.Rozhrani, 3);
}

TEST_F(Pripojeni, LibovolnyTextVEditacich) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 4);
    Otevri();
    Vyber(4);
    QString dlouhy;
    for (int i = 0; i < 20000; ++i)
        dlouhy += QStringLiteral("9x$-ř");
    QApplication::clipboard()->setText(dlouhy);
    for (const char* jmeno : {"Edit1", "Edit2", "Edit3", "Edit4"}) {
        QLineEdit* edit = Edit(jmeno);
        edit->setFocus();
        edit->selectAll();
        edit->paste();
        EXPECT_GT(edit->text().size(), 1000) << jmeno;
    }
    Stiskni();
    EXPECT_EQ(Text(dialog.get(), "Edit1"), QStringLiteral("0"));
    EXPECT_EQ(Stav(), QStringLiteral("Neplatný UDP port"));
    EXPECT_TRUE(fake.Volani().empty());
    Napis(Edit("Edit3"), QStringLiteral("5000"));
    Napis(Edit("Edit4"), QStringLiteral("100"));
    Stiskni();
    EXPECT_EQ(Stav(), QStringLiteral("Neplatná IP adresa"));
}

TEST_F(Pripojeni, CancelZavreBezZmen) {
    Otevri();
    Napis(Edit("Edit1"), QStringLiteral("33"));
    Klikni(dialog.get(), "Button2");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(data.Adresa, 0);
}

TEST(PripojeniBezZaznamu, NicNedela) {
    TForm2 dialog(nullptr);
    dialog.show();
    Klikni(&dialog, "Button1");
    EXPECT_EQ(Text(&dialog, "Panel1"), QString());
    Klikni(&dialog, "Button2");
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
