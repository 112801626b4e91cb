// The address and baud-rate dialog driven through its real widgets on the
// offscreen platform, with the fake library as the module.
#include "NastavAdr.h"
#include "Pomocne.h"
#include "Prikazy.h"
#include "Sledovac.h"
#include "Xxxx683.h"

#include <QComboBox>
#include <QStatusBar>

namespace {

constexpr std::uint8_t Typ = 3;
constexpr std::uint32_t Handle = 33;
constexpr std::uint8_t AdresaModulu = 9;

class Form12 : public ::testing::Test {
protected:
    void SetUp() override {
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_DIR));
        fake.Spojeni(Handle, 0);
        // The module holds address 5 and 19200 Bd.
        fake.Odpoved(Prikaz::CtiRegistr, 0, 63, 0, {63, 63, 5, 0});
        fake.Odpoved(Prikaz::CtiRegistr, 0, 62, 0, {62, 62, 5, 0});
        VychoziData(&data);
        data.Rozhrani = Typ;
        data.Adresa = AdresaModulu;
        ASSERT_EQ(InitRozhrani(Typ, data.Spojeni, TParametry{}), 0u);
        data.Inicializovano = true;
        Otevri();
    }
    void TearDown() override {
        sledovac.reset();
        dialog.reset();
        std::uint32_t h = 0;
        InitRozhrani(5, h, TParametry{});
        NastavAdresarKnihoven(QString());
    }

    // A fresh dialog on the record, as the main window opens it.
    void Otevri() {
        sledovac.reset();
        dialog = std::make_unique<TForm12>(&data);
        dialog->show();
        // Painting starts once the window is on the screen.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        sledovac = std::make_unique<Sledovac>(Prvek<QLabel>(dialog.get(), "StatusBar1Panel0"),
                                              &fake, AdresaModulu, Handle);
    }
    void Vypln(const QString& adresa, int rychlost) {
        if (adresa.size() < 20)
            Napis(Edit1(), adresa);
        else
            Edit1()->setText(adresa); // pasted
        Combo()->setCurrentIndex(rychlost);
    }
    // Clicks the button; the commands and status texts that followed.
    std::string Stiskni(const char* tlacitko) {
        sledovac->Znovu();
        Klikni(dialog.get(), tlacitko);
        return sledovac->Text();
    }
    QLineEdit* Edit1() { return Prvek<QLineEdit>(dialog.get(), "Edit1"); }
    QComboBox* Combo() { return Prvek<QComboBox>(dialog.get(), "ComboBox1"); }
    QString Stav() { return Text(dialog.get(), "StatusBar1Panel0"); }

    FakeOvladac fake{ZR_FAKELIB_DIR, Typ};
    TData data;
    std::unique_ptr<TForm12> dialog;
    std::unique_ptr<Sledovac> sledovac;
};

const QString ChybaAdresy = QStringLiteral(" Adresa modulu musí být v rozsahu 0-255.");
const QString ChybaRychlosti =
    QStringLiteral(" Komunikační rychlost musí být v rozsahu 600Bd-115200Bd.");

} // namespace

TEST_F(Form12, VychoziHodnotyARozlozeni) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Nastavení komunikační adresy a rychlosti"));
    EXPECT_EQ(dialog->size(), QSize(393, 200));
    EXPECT_EQ(Edit1()->text(), QStringLiteral("1"));
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("9600 Bd"));
    EXPECT_EQ(Combo()->count(), 9);
    EXPECT_EQ(Combo()->itemText(0), QStringLiteral("600 Bd"));
    EXPECT_EQ(Combo()->itemText(8), QStringLiteral("115200 Bd"));
    EXPECT_FALSE(Combo()->isEditable());
    EXPECT_EQ(Stav(), QStringLiteral(" "));
    EXPECT_EQ(Text(dialog.get(), "Label1"), QStringLiteral("Adresa modulu  (0-255)"));
    EXPECT_EQ(Text(dialog.get(), "Label2"), QStringLiteral("Komunikační rychlost"));
    EXPECT_LT(Edit1()->y(), Combo()->y()) << "the address first";

    // Four buttons in one row below the controls, none of them the default.
    const char* const tlacitka[] = {"Button1", "Button2", "Button3", "Button4"};
    const char* const popisky[] = {"Zapsat", "Přečíst", "Ok", "Cancel"};
    int x = 0;
    for (int i = 0; i < 4; ++i) {
        auto* b = Prvek<QPushButton>(dialog.get(), tlacitka[i]);
        EXPECT_EQ(b->text(), QString::fromUtf8(popisky[i]));
        EXPECT_EQ(b->y(), Prvek<QPushButton>(dialog.get(), "Button1")->y());
        EXPECT_GT(b->y(), Combo()->geometry().bottom());
        EXPECT_GT(b->x(), x);
        x = b->x();
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << tlacitka[i];
    }
    const QRect lista = Prvek<QStatusBar>(dialog.get(), "StatusBar1")->geometry();
    EXPECT_EQ(lista.bottom(), dialog->height() - 1);
    EXPECT_EQ(lista.width(), dialog->width());
    EXPECT_GT(lista.top(), Prvek<QPushButton>(dialog.get(), "Button1")->geometry().bottom());
    EXPECT_TRUE(fake.Volani(FakeSend).empty()) << "opening sends nothing";
}

// "Zapsat" with each kind of value: an invalid one shows its message and
// sends nothing; a valid one is written (the first command shows the value).
TEST_F(Form12, PlatnostHodnot) {
    const struct {
        QString Adresa;
        int Rychlost;
        QString Zprava; // empty: valid
        const char* Zacatek;
    } radky[] = {
        {"0", 4, {}, "- z0 W63=0 "},
        {"255", 4, {}, "- z0 W63=255 "},
        {"5", 8, {}, "- z0 W63=5 R63 z50 W62=8 "},
        {QString(40000, u'0') + u'7', 0, {}, "- z0 W63=7 "},
        {"256", 4, ChybaAdresy, ""},
        {"-1", 4, ChybaAdresy, ""},
        {"", 4, ChybaAdresy, ""},
        {"abc", 4, ChybaAdresy, ""},
        {"12a", 4, ChybaAdresy, ""},
        {QString(100000, u'9'), 4, ChybaAdresy, ""},
        {"5", -1, ChybaRychlosti, ""},
        {"300", -1, ChybaAdresy, ""},
    };
    for (const auto& r : radky) {
        Vypln(r.Adresa, r.Rychlost);
        const std::string zaznam = Stiskni("Button1");
        const std::string popis = r.Adresa.left(20).toStdString();
        if (r.Zprava.isEmpty()) {
            EXPECT_EQ(zaznam.rfind(r.Zacatek, 0), 0u) << popis << ": " << zaznam;
        } else {
            EXPECT_EQ(Stav(), r.Zprava) << popis;
            EXPECT_EQ(zaznam, QStringLiteral("'%1'").arg(r.Zprava).toStdString())
                << popis << ": nothing sent";
        }
    }
    EXPECT_EQ(data.Konfigurace.Adresa, 1) << "writing stores nothing in the record";
}

TEST_F(Form12, BezPripojeniNicNeposle) {
    const struct {
        bool Inicializovano;
        std::uint32_t Spojeni;
        const char* Tlacitko;
    } radky[] = {{false, Handle, "Button1"},
                 {false, Handle, "Button2"},
                 {true, 0, "Button1"},
                 {true, 0, "Button2"}};
    for (const auto& r : radky) {
        Vypln(QStringLiteral("abc"), 2);
        data.Inicializovano = r.Inicializovano;
        data.Spojeni = r.Spojeni;
        EXPECT_EQ(Stiskni(r.Tlacitko), "nepripojeno") << r.Tlacitko;
        EXPECT_EQ(Edit1()->text(), QStringLiteral("abc"));
        EXPECT_EQ(Combo()->currentIndex(), 2);
    }
}

// Full sequences, and sequences a failure stops (set up when the panel shows
// a text), each followed by a full read: the dialog is usable at once.
TEST_F(Form12, CteniAZapis) {
    const struct {
        const char* Tlacitko;
        const char* Adresa;
        const char* Kdy; // the failure starts when this text shows
        const char* Ocekavano;
        const char* AdresaPo;
        int RychlostPo;
    } radky[] = {
        {"Button2", "1", "", "c0 R63 c50 R62 c100 precteno", "5", 5},
        {"Button2", "1", "c50", "c0 R63 c50 R62 chyba6", "5", 4},
        {"Button2", "1", "c0", "c0 R63 chyba6", "1", 4},
        {"Button1", "5", "", "- z0 W63=5 R63 z50 W62=5 R62 z100 zapsano", "5", 5},
        {"Button1", "5", "z50", "- z0 W63=5 R63 z50 W62=5 chyba6", "5", 5},
        {"Button1", "5", "z0", "- z0 W63=5 chyba6", "5", 5},
        {"Button1", "6", "", "- z0 W63=6 R63 chyba-zapisu", "6", 5},
    };
    for (const auto& r : radky) {
        dialog->FormShow();
        Vypln(QString::fromUtf8(r.Adresa), r.Tlacitko == std::string("Button1") ? 5 : 4);
        fake.Vysledek(FakeSend, 0);
        sledovac->Pri(r.Kdy, [this] { fake.Vysledek(FakeSend, 6); });
        EXPECT_EQ(Stiskni(r.Tlacitko), r.Ocekavano) << r.Tlacitko << " " << r.Kdy;
        EXPECT_EQ(Edit1()->text(), QString::fromUtf8(r.AdresaPo));
        EXPECT_EQ(Combo()->currentIndex(), r.RychlostPo);
        EXPECT_EQ(data.Konfigurace.Adresa, 1);
        EXPECT_EQ(data.Adresa, AdresaModulu);

        fake.Vysledek(FakeSend, 0);
        EXPECT_EQ(Stiskni("Button2"), "c0 R63 c50 R62 c100 precteno");
    }
}

// A click during a sequence (it comes in the pause after the first command):
// one that would start another sequence, or "Ok", is ignored; "Cancel" or
// closing the window ends the sequence after that command and closes.
TEST_F(Form12, KliknutiBehemSekvence) {
    const struct {
        const char* Tlacitko;
        const char* Behem; // nullptr: the window's close
        const char* Ocekavano;
        bool Zavreno;
    } radky[] = {
        {"Button2", "Button2", "c0 R63 c50 R62 c100 precteno", false},
        {"Button2", "Button1", "c0 R63 c50 R62 c100 precteno", false},
        {"Button1", "Button1", "- z0 W63=5 R63 z50 W62=5 R62 z100 zapsano", false},
        {"Button1", "Button2", "- z0 W63=5 R63 z50 W62=5 R62 z100 zapsano", false},
        {"Button1", "Button3", "- z0 W63=5 R63 z50 W62=5 R62 z100 zapsano", false},
        {"Button2", "Button4", "c0 R63 c50", true},
        {"Button1", "Button4", "- z0 W63=5", true},
        {"Button1", nullptr, "- z0 W63=5", true},
    };
    for (const auto& r : radky) {
        Otevri();
        Vypln(QStringLiteral("5"), 5);
        QTimer::singleShot(0, dialog.get(), [this, behem = r.Behem] {
            if (behem != nullptr)
                Klikni(dialog.get(), behem);
            else
                dialog->close();
        });
        const std::string popis = std::string(r.Tlacitko) + "+" + (r.Behem ? r.Behem : "close");
        EXPECT_EQ(Stiskni(r.Tlacitko), r.Ocekavano) << popis;
        EXPECT_EQ(dialog->isVisible(), !r.Zavreno) << popis;
        EXPECT_EQ(dialog->result(), r.Zavreno ? QDialog::Rejected : 0) << popis;
        EXPECT_EQ(data.Konfigurace.Adresa, 1) << popis;
    }
}

// "Ok" stores valid values (read or typed) and closes; "Cancel" or invalid
// values close without storing. A new dialog shows what is stored.
TEST_F(Form12, OkCancelAZnovuOtevreni) {
    const struct {
        const char* Adresa;
        int Rychlost;
        bool Cist;
        const char* Tlacitko;
        int Adresa2;
        int Rychlost2;
    } radky[] = {
        {"7", 6, false, "Button3", 7, 6}, {"300", 6, false, "Button3", 7, 6},
        {"", 3, true, "Button4", 7, 6},   {"", 3, true, "Button3", 5, 5},
        {"8", 1, false, "Button4", 5, 5}, {"8", 1, false, nullptr, 5, 5},
    };
    data.Spojeni = 0; // "Ok" needs no connection
    for (const auto& r : radky) {
        Otevri();
        if (r.Cist) {
            data.Spojeni = Handle;
            Stiskni("Button2");
            data.Spojeni = 0;
        } else {
            Vypln(QString::fromUtf8(r.Adresa), r.Rychlost);
        }
        if (r.Tlacitko != nullptr)
            Klikni(dialog.get(), r.Tlacitko);
        else
            dialog->close();
        EXPECT_FALSE(dialog->isVisible()) << r.Adresa;
        EXPECT_EQ(data.Konfigurace.Adresa, r.Adresa2) << r.Adresa;
        EXPECT_EQ(data.Konfigurace.Rychlost, r.Rychlost2) << r.Adresa;
        Otevri();
        EXPECT_EQ(Edit1()->text(), QString::number(r.Adresa2));
        EXPECT_EQ(Combo()->currentIndex(), r.Rychlost2);
    }
    const TKonfigurace vychozi = VychoziKonfigurace();
    EXPECT_EQ(data.Konfigurace.InicializacniCas, vychozi.InicializacniCas) << "others unchanged";
    EXPECT_EQ(data.Konfigurace.NegaceDIN, vychozi.NegaceDIN);
    EXPECT_EQ(data.Adresa, AdresaModulu);
    EXPECT_EQ(fake.Volani(FakeSend).size(), 4u) << "only the two reads";
}

// Without the record the buttons do nothing; only "Cancel" closes.
TEST_F(Form12, BezZaznamuJenZavre) {
    TForm12 bez(nullptr);
    bez.show();
    for (const char* tlacitko : {"Button1", "Button2", "Button3"})
        Klikni(&bez, tlacitko);
    EXPECT_TRUE(bez.isVisible());
    EXPECT_EQ(Text(&bez, "StatusBar1Panel0"), QString());
    Klikni(&bez, "Button4");
    EXPECT_FALSE(bez.isVisible());
    EXPECT_TRUE(fake.Volani(FakeSend).empty());
}
