#include "Dekl.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>

namespace {

QByteArray Cp(const QString& s) {
    QStringEncoder e("windows-1250");
    return e.encode(s);
}

class Nastaveni : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        VychoziData(&d_);
    }
    QString Cesta() const { return dir_.filePath(QStringLiteral("W_zr464.ini")); }
    void Zapis(const QByteArray& bajty) {
        QFile f(Cesta());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bajty);
    }
    // Writes an INI text given in UTF-8 as Windows-1250 bytes.
    void ZapisText(const QString& text) { Zapis(Cp(text)); }
    QByteArray Obsah() const {
        QFile f(Cesta());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    TData d_;
};

// Runs f aside; a call that waits on the FIFO for a writer fails the test
// instead of hanging it (the FIFO is then opened for writing to let it go on).
template <class F> auto BezCekani(const QString& fifo, F f) {
    auto vysledek = std::async(std::launch::async, f);
    if (vysledek.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "waits on the FIFO " << fifo.toStdString();
        ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    }
    return vysledek.get();
}

mode_t Druh(const QString& cesta) {
    struct stat st {};
    return ::lstat(QFile::encodeName(cesta).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

} // namespace

TEST_F(Nastaveni, VzorSeZapiseBajtProBajt) {
    d_.Adresa = 1;
    ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    const QByteArray ocekavano("[P\xF8ipojen\xED]\n"
                               "Rozhran\xED=COMx\n"
                               "Adresa=1\n"
                               "Rychlost=9600\n"
                               "\n\n"
                               "[COMx]\n"
                               "\xC8\xEDslo portu=1\n");
    EXPECT_EQ(Obsah(), ocekavano);
    EXPECT_TRUE(Obsah().startsWith(QByteArray::fromHex("5B50F869706F6A656EED5D")));
}

TEST_F(Nastaveni, ChybejiciSouborNeboJmenoJklNicNevezme) {
    EXPECT_FALSE(NactiNastaveni(&d_, Cesta()));
    ZapisText("[Připojení]\nRozhraní=jkl\nAdresa=7\n[COMx]\nČíslo portu=3\n");
    EXPECT_FALSE(NactiNastaveni(&d_, Cesta()));
    EXPECT_EQ(d_.Adresa, 0);
    EXPECT_EQ(d_.CisloPortu, 1);
    EXPECT_FALSE(NactiNastaveni(nullptr, Cesta()));
    EXPECT_FALSE(UlozNastaveni(nullptr, Cesta()));
}

TEST_F(Nastaveni, JmenaRozlisujiVelikostAleKliceSePrectou) {
    ZapisText("[připojení]\nrozhraní=comx\nADRESA=300\nRychlost=19200\n"
              "[KC-683]\nBázová adresa=0x300\n[COMx]\nČíslo portu=258\n"
              "[zr-1683]\nIP adresa= 10.0.0.7 \nUDP port=$1389\nUDP timeout=0X10\n");
    d_.Rozhrani = 3;
    EXPECT_TRUE(NactiNastaveni(&d_, Cesta()));
    EXPECT_EQ(d_.Rozhrani, 3); // "comx" is no interface name
    EXPECT_EQ(d_.Adresa, 44);  // low 8 bits of 300
    EXPECT_EQ(d_.Rychlost, 19200);
    EXPECT_EQ(d_.BazovaAdresa, 768);
    EXPECT_EQ(d_.CisloPortu, 2);
    EXPECT_EQ(d_.IPAdresa, QStringLiteral("10.0.0.7"));
    EXPECT_EQ(d_.UDPPort, 0x1389);
    EXPECT_EQ(d_.UDPTimeout, 16);
}

TEST_F(Nastaveni, KazdeJmenoRozhraniANecitelnaCisla) {
    const char* nazvy[] = {"COMx", "KC-683", "KC-1683", "KU-1683", "ZR-1683"};
    for (int typ = 0; typ < 5; ++typ) {
        ZapisText(QStringLiteral("[Připojení]\nRozhraní=%1\nAdresa=12abc\nRychlost=\n"
                                 "[ZR-1683]\nUDP port=99999999999\nUDP timeout=-5\n")
                      .arg(QLatin1String(nazvy[typ])));
        VychoziData(&d_);
        EXPECT_TRUE(NactiNastaveni(&d_, Cesta()));
        EXPECT_EQ(d_.Rozhrani, typ);
        EXPECT_EQ(d_.Adresa, 0);
        EXPECT_EQ(d_.Rychlost, 9600);
        EXPECT_EQ(d_.UDPPort, 5000);
        EXPECT_EQ(d_.UDPTimeout, -5);
    }
}

TEST_F(Nastaveni, JenSekcePripojeniNechaOstatniVychozi) {
    ZapisText("[Připojení]\nRozhraní=ZR-1683\nAdresa=-1\n");
    EXPECT_TRUE(NactiNastaveni(&d_, Cesta()));
    EXPECT_EQ(d_.Rozhrani, 4);
    EXPECT_EQ(d_.Adresa, 255);
    EXPECT_EQ(d_.CisloPortu, 1);
    EXPECT_EQ(d_.BazovaAdresa, 768);
    EXPECT_EQ(d_.UDPPort, 5000);
    EXPECT_EQ(d_.UDPTimeout, 100);
    EXPECT_EQ(d_.IPAdresa, QString::fromLatin1(VychoziIPAdresa));
}

TEST_F(Nastaveni, TamAZpetProKazdyTypNechaKliceOstatnich) {
    for (std::uint8_t typ = 0; typ < 5; ++typ) {
        ZapisText("; operator's note\n[Připojení]\nRozhraní=COMx\n[COMx]\nČíslo portu=7\n"
                  "[KC-683]\nBázová adresa=512\n[ZR-1683]\nIP adresa=10.1.2.3\nUDP port=6000\n"
                  "UDP timeout=300\n[Jiné]\nklíč=hodnota\n");
        TData zapis;
        VychoziData(&zapis);
        zapis.Rozhrani = typ;
        zapis.Adresa = 200;
        zapis.Rychlost = 115200;
        zapis.CisloPortu = 4;
        zapis.BazovaAdresa = 0x2A0;
        zapis.IPAdresa = QStringLiteral("127.0.0.1");
        zapis.UDPPort = 5005;
        zapis.UDPTimeout = 50;
        ASSERT_TRUE(UlozNastaveni(&zapis, Cesta()));

        TData cteni;
        VychoziData(&cteni);
        ASSERT_TRUE(NactiNastaveni(&cteni, Cesta()));
        EXPECT_EQ(cteni.Rozhrani, typ);
        EXPECT_EQ(cteni.Adresa, 200);
        EXPECT_EQ(cteni.Rychlost, 115200);
        EXPECT_EQ(cteni.CisloPortu, typ == 0 ? 4 : 7);
        EXPECT_EQ(cteni.BazovaAdresa, typ == 1 ? 0x2A0 : 512);
        EXPECT_EQ(cteni.IPAdresa, typ == 4 ? "127.0.0.1" : "10.1.2.3");
        EXPECT_EQ(cteni.UDPPort, typ == 4 ? 5005 : 6000);
        EXPECT_EQ(cteni.UDPTimeout, typ == 4 ? 50 : 300);
        const QByteArray obsah = Obsah();
        EXPECT_TRUE(obsah.contains("; operator's note"));
        EXPECT_TRUE(obsah.contains(Cp("klíč=hodnota")));
    }
}

TEST_F(Nastaveni, SpatneSouboryNespadnouAVezmouCoJde) {
    QByteArray smeti;
    for (int i = 0; i < 4096; ++i)
        smeti.append(static_cast<char>((i * 7919) & 0xFF));
    Zapis(smeti);
    EXPECT_FALSE(NactiNastaveni(&d_, Cesta()));
    EXPECT_EQ(d_.Rozhrani, 0);
    EXPECT_EQ(d_.Adresa, 0);
    EXPECT_TRUE(UlozNastaveni(&d_, Cesta()));

    // Each of these still holds interface KU-1683 and address 5 to be read.
    // A line nearly as long as the largest file that is read.
    const QByteArray megaradek(NejvetsiSouborNastaveni - 100, 'x');
    const QByteArray soubory[] = {
        QByteArray("\xEF\xBB\xBF") + Cp("[Připojení]\nRozhraní=KU-1683\nAdresa=5\n"),
        Cp("[Připojení]\r\nRozhraní=KU-1683\r\nAdresa=5\r\n"),
        Cp("[Připojení]\rRozhraní=KU-1683\rAdresa=5\r"),
        Cp("[Připojení]\nRozhraní=KU-1683\nbez rovnítka\n[COMx]\n[Připojení]\nAdresa=5\n"),
        Cp("[Připojení]\nRozhraní=KU-1683\n") + megaradek + Cp("\nAdresa=5\n"),
        Cp("[Připojení]\nRozhr") + QByteArray(1, '\0') + Cp("aní=X\nRozhraní=KU-1683\nAdresa=5\n"),
        Cp("[Připojení]\nRozhraní=KU-1683\nAdresa=5\nRychlost=99999999999999999999999\n"
           "[KC-683]\nBázová adresa=0x1FFFFFFFF\n[COMx]\nČíslo portu=--1\n"),
    };
    for (const QByteArray& obsah : soubory) {
        Zapis(obsah);
        VychoziData(&d_);
        EXPECT_TRUE(NactiNastaveni(&d_, Cesta()));
        EXPECT_EQ(d_.Rozhrani, 3);
        EXPECT_EQ(d_.Adresa, 5);
        EXPECT_EQ(d_.Rychlost, 9600);
        EXPECT_EQ(d_.CisloPortu, 1);
        EXPECT_EQ(d_.BazovaAdresa, 768);
        // Written back, the file still reads the same.
        ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
        TData znovu;
        VychoziData(&znovu);
        EXPECT_TRUE(NactiNastaveni(&znovu, Cesta()));
        EXPECT_EQ(znovu.Rozhrani, 3);
        EXPECT_EQ(znovu.Adresa, 5);
    }
}

TEST_F(Nastaveni, OkrajeJmenASirek) {
    ZapisText("[Připojení]\nRozhraní =  jkl  \nAdresa=9\n");
    EXPECT_FALSE(NactiNastaveni(&d_, Cesta())); // values are trimmed: still "jkl"
    EXPECT_EQ(d_.Adresa, 0);
    ZapisText("[Připojení]\nRozhraní=JKL\nAdresa=9\n[KC-683]\nBázová adresa=70000\n");
    EXPECT_TRUE(NactiNastaveni(&d_, Cesta())); // an unknown name, not the missing marker
    EXPECT_EQ(d_.Adresa, 9);
    EXPECT_EQ(d_.BazovaAdresa, 70000 & 0xFFFF);
}

TEST_F(Nastaveni, ZdvojenyKlicPlatiPrvniAOstatniObsahPrezijeUlozeni) {
    ZapisText("; hlava\n\n[Připojení]\nRozhraní=KU-1683\nRozhraní=ZR-1683\n"
              "[Jiné]\nx=1\nx=2\n; poznámka na konci\n\n# a ještě jedna\n");
    EXPECT_TRUE(NactiNastaveni(&d_, Cesta()));
    EXPECT_EQ(d_.Rozhrani, 3);
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    const QByteArray obsah = Obsah();
    EXPECT_EQ(obsah.count(Cp("Rozhraní=")), 1);
    EXPECT_TRUE(obsah.contains("x=1\nx=2\n"));
    EXPECT_TRUE(obsah.startsWith("; hlava\n"));
    EXPECT_TRUE(obsah.endsWith(Cp("; poznámka na konci\n\n# a ještě jedna\n")));
    EXPECT_EQ(obsah.count(Cp("poznámka na konci")), 1);

    // A file of comments alone keeps all of them before the settings.
    ZapisText("; první\n\n; druhá");
    ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    EXPECT_TRUE(Obsah().startsWith(Cp("; první\n\n\n; druhá\n[Připojení]\n")));
    EXPECT_TRUE(NactiNastaveni(&d_, Cesta()));
}

// A file a Windows editor left (CR LF, one blank line between sections, a
// comment) is written back in that form, a new section included, and stays
// so from save to save.
TEST_F(Nastaveni, SouborZWindowsSiNechaKonceRadku) {
    Zapis(Cp("; nastavení dílny\r\n\r\n[Připojení]\r\nRozhraní=ZR-1683\r\nAdresa=1\r\n"
             "Rychlost=9600\r\n\r\n\r\n[ZR-1683]\r\nIP adresa=127.0.0.1\r\n"
             "UDP port=5000\r\nUDP timeout=100\r\n"));
    ASSERT_TRUE(NactiNastaveni(&d_, Cesta()));
    d_.Rozhrani = 0;
    d_.CisloPortu = 3;
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    EXPECT_EQ(Obsah(), Cp("; nastavení dílny\r\n\r\n[Připojení]\r\nRozhraní=COMx\r\nAdresa=1\r\n"
                          "Rychlost=9600\r\n\r\n[ZR-1683]\r\nIP adresa=127.0.0.1\r\n"
                          "UDP port=5000\r\nUDP timeout=100\r\n\r\n[COMx]\r\nČíslo portu=3\r\n"));
    TData znovu;
    VychoziData(&znovu);
    ASSERT_TRUE(NactiNastaveni(&znovu, Cesta()));
    EXPECT_EQ(znovu.CisloPortu, 3);
    EXPECT_EQ(znovu.UDPPort, 5000);
}

// Blank lines before a leading comment: the parser would take the comment
// for a section's the first time and for the file's own the next, so the
// second save would differ from the first.
TEST_F(Nastaveni, UvodniPrazdneRadkyNeposunouPrvniKomentar) {
    Zapis(Cp("\n\n; hlava\n[Připojení]\nRozhraní=KU-1683\nAdresa=5\n"));
    ASSERT_TRUE(NactiNastaveni(&d_, Cesta()));
    ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    const QByteArray prvni = Obsah();
    ASSERT_TRUE(NactiNastaveni(&d_, Cesta()));
    ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    EXPECT_EQ(Obsah(), prvni);
    EXPECT_EQ(prvni.count(Cp(QStringLiteral("; hlava"))), 1);
}

TEST_F(Nastaveni, RadkySeCtouJakStojiAUlozeniJeStale) {
    // Each holds interface KU-1683 and address 5, and keeps its notes.
    const struct {
        QByteArray obsah;
        QList<QByteArray> poznamky;
    } radky[] = {
        {Cp("; hlava\r[Připojení]\rRozhraní=KU-1683\rAdresa=5\r; konec\r"), {"; hlava", "; konec"}},
        {Cp("; hlava\r\n[Připojení]\r\nRozhraní=KU-1683\r\nAdresa=5\r\n"), {"; hlava"}},
        {Cp("; a\r\n\r\n\r\n; b\r\n[Připojení]\r\nRozhraní=KU-1683\r\n\r\n; c\r\n\r\nAdresa=5\r\n"
            "\r\n; konec\r\n\r\n"),
         {"; a", "; b", "; c", "; konec"}},
        // A header without its bracket is no header: the keys stay in the
        // section before it.
        {Cp("[Připojení]\nRozhraní=KU-1683\n[ZR-1683\nAdresa=5\n[COMx]\nČíslo portu=2\n"),
         {"[ZR-1683"}},
        {Cp("[Připojení]\nRozhraní=KU-1683\n  [Jiné = x\nAdresa=5\n"), {"[Jiné = x"}},
        {Cp("; a\n\v; b\n\f# c\n[Připojení]\nRozhraní=KU-1683\n\f\v; d\nAdresa=5\n\v; e\n"),
         {"; a", "; b", "# c", "; d", "; e"}},
    };
    for (const auto& r : radky) {
        const std::string popis = r.obsah.toStdString();
        Zapis(r.obsah);
        VychoziData(&d_);
        ASSERT_TRUE(NactiNastaveni(&d_, Cesta())) << popis;
        EXPECT_EQ(d_.Rozhrani, 3) << popis;
        EXPECT_EQ(d_.Adresa, 5) << popis;
        QByteArray predtim;
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(UlozNastaveni(&d_, Cesta())) << popis;
            if (i == 2) {
                EXPECT_EQ(Obsah(), predtim) << popis << ": the file changes at every save";
            }
            predtim = Obsah();
        }
        for (const QByteArray& p : r.poznamky)
            EXPECT_EQ(predtim.count(Cp(QString::fromUtf8(p))), 1)
                << popis << ": " << p.toStdString();
        for (const QByteArray& radek : predtim.split('\n'))
            EXPECT_FALSE(radek.startsWith('[') && !radek.trimmed().endsWith(']')) << popis;
        TData znovu;
        VychoziData(&znovu);
        ASSERT_TRUE(NactiNastaveni(&znovu, Cesta())) << popis;
        EXPECT_EQ(znovu.Adresa, 5) << popis;
        EXPECT_EQ(znovu.Rozhrani, 3) << popis;
    }

    // A file of comments alone, some indented with a form feed, keeps them all.
    Zapis("; a\n\f; b\n\v\v# c\n");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    for (const char* p : {"; a", "; b", "# c"})
        EXPECT_EQ(Obsah().count(p), 1) << p;
}

TEST_F(Nastaveni, UkladaPresOdkazJenDoObycejnehoSouboru) {
    // A link to a regular file: the file takes the settings, the link stays.
    const QString cil = dir_.filePath(QStringLiteral("cil.ini"));
    {
        QFile f(cil);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Cp("; poznámka\n[Připojení]\nRozhraní=COMx\n"));
    }
    ASSERT_TRUE(QFile::link(cil, Cesta()));
    d_.Rozhrani = 3;
    ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    EXPECT_EQ(QFileInfo(Cesta()).symLinkTarget(), cil);
    EXPECT_TRUE(Obsah().contains(Cp("Rozhraní=KU-1683")));
    EXPECT_TRUE(Obsah().contains(Cp("; poznámka")));
    ASSERT_TRUE(QFile::remove(Cesta()));

    // Anything else is refused and left as it was: nothing is created,
    // replaced or waited on.
    const QString fifo = dir_.filePath(QStringLiteral("fifo"));
    const QString slozka = dir_.filePath(QStringLiteral("slozka"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(slozka));
    const struct {
        QString odkaz; // the link's target; empty: the FIFO itself is the path
        const char* duvod;
    } radky[] = {
        {fifo, "symbolický odkaz nevede na obyčejný soubor"},
        {slozka, "symbolický odkaz nevede na obyčejný soubor"},
        {dir_.filePath(QStringLiteral("chybi.ini")),
         "symbolický odkaz vede na neexistující soubor"},
        {QString(), "není to obyčejný soubor"},
        // Only when the code has refused everything above, never to be replaced.
        {QStringLiteral("/dev/null"), "symbolický odkaz nevede na obyčejný soubor"},
    };
    for (const auto& r : radky) {
        if (r.odkaz == QStringLiteral("/dev/null") && HasFailure()) break;
        const QString cesta = r.odkaz.isEmpty() ? fifo : Cesta();
        if (!r.odkaz.isEmpty()) {
            ASSERT_TRUE(QFile::link(r.odkaz, cesta));
        }
        TData d;
        VychoziData(&d);
        EXPECT_FALSE(BezCekani(fifo, [&] { return NactiNastaveni(&d, cesta); }));
        QString chyba;
        EXPECT_FALSE(BezCekani(fifo, [&] { return UlozNastaveni(&d, cesta, &chyba); }));
        EXPECT_TRUE(chyba.contains(QString::fromUtf8(r.duvod))) << chyba.toStdString();
        if (!r.odkaz.isEmpty()) {
            EXPECT_EQ(QFileInfo(cesta).symLinkTarget(), r.odkaz);
            ASSERT_TRUE(QFile::remove(cesta));
        }
    }
    EXPECT_EQ(Druh(fifo), static_cast<mode_t>(S_IFIFO));
    EXPECT_EQ(Druh(slozka), static_cast<mode_t>(S_IFDIR));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("chybi.ini"))));
    EXPECT_EQ(Druh(QStringLiteral("/dev/null")), static_cast<mode_t>(S_IFCHR));
}

TEST_F(Nastaveni, NezapisovatelneMistoSelzeASouborZustane) {
    // The path is a directory.
    const QString adresar = dir_.filePath(QStringLiteral("adresar"));
    ASSERT_TRUE(QDir().mkdir(adresar));
    TData d;
    VychoziData(&d);
    QString chyba;
    EXPECT_FALSE(NactiNastaveni(&d, adresar));
    EXPECT_FALSE(UlozNastaveni(&d, adresar, &chyba));
    EXPECT_TRUE(chyba.contains(QStringLiteral("adresar")));
    EXPECT_TRUE(chyba.contains(QStringLiteral("je to složka"))) << chyba.toStdString();

    // The directory of the path is a regular file: nothing can be created there.
    Zapis("x");
    const QString podSouborem = Cesta() + QStringLiteral("/W_zr464.ini");
    chyba.clear();
    EXPECT_FALSE(UlozNastaveni(&d, podSouborem, &chyba));
    EXPECT_TRUE(chyba.contains(podSouborem));
    // The reason is given in Czech, like the rest of the message.
    EXPECT_TRUE(chyba.endsWith(QStringLiteral("%1 není složka)").arg(Cesta())))
        << chyba.toStdString();
    EXPECT_EQ(Obsah(), QByteArray("x"));

    // A directory that cannot be written, and a file that cannot be read.
    if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
    const QByteArray puvodni = Cp("[Připojení]\nRozhraní=KU-1683\n; poznámka\n");
    Zapis(puvodni);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
    chyba.clear();
    EXPECT_FALSE(UlozNastaveni(&d, Cesta(), &chyba));
    EXPECT_TRUE(chyba.contains(QStringLiteral("W_zr464.ini")));
    EXPECT_EQ(Obsah(), puvodni);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(Cesta(), QFile::WriteOwner);
    EXPECT_FALSE(NactiNastaveni(&d, Cesta()));
    EXPECT_FALSE(UlozNastaveni(&d, Cesta(), &chyba));
    QFile::setPermissions(Cesta(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(Obsah(), puvodni);
}

namespace {

// The windows' sizes: read from [Okna] whatever else the file holds, a value
// that is no size left out, written back beside the rest.
TEST_F(Nastaveni, VelikostiOkenVeVlastniSekci) {
    ZapisText(QStringLiteral("[Připojení]\r\nRozhraní=ZR-1683\r\n[Okna]\r\nPrubehVstupu=900x600\r\n"
                             "HledaniModulu=široké\r\nJine=0x0\r\n; poznámka\r\n"));
    ASSERT_TRUE(NactiNastaveni(&d_, Cesta()));
    EXPECT_EQ(d_.VelikostiOken, (QMap<QString, QSize>{{"PrubehVstupu", QSize(900, 600)}}));
    d_.VelikostiOken[QStringLiteral("DiagnostikaSpojeni")] = QSize(740, 420);
    ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    const QByteArray obsah = Obsah();
    for (const char* radek :
         {"PrubehVstupu=900x600\r\n", "DiagnostikaSpojeni=740x420\r\n", "Jine=0x0\r\n", "; pozn"})
        EXPECT_TRUE(obsah.contains(radek)) << radek << "\n" << obsah.toStdString();
    TData znovu;
    VychoziData(&znovu);
    ASSERT_TRUE(NactiNastaveni(&znovu, Cesta()));
    EXPECT_EQ(znovu.VelikostiOken.size(), 2);
}

// The bus overview's list: read and written in its own section; a list
// that does not parse is left out, an emptied one leaves no key behind.
TEST_F(Nastaveni, SeznamSberniceVeVlastniSekci) {
    ZapisText(QStringLiteral("[Přehled sběrnice]\r\nModuly=1:9600, 5:19200 9\r\nPerioda=500\r\n"));
    ASSERT_FALSE(NactiNastaveni(&d_, Cesta()));
    const std::vector<TModulSbernice> ctene{{1, 9600}, {5, 19200}, {9, 9600}};
    EXPECT_EQ(d_.Sbernice, ctene);
    EXPECT_EQ(d_.PeriodaPrehledu, 500);
    d_.Sbernice.push_back({200, 115200});
    ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    EXPECT_TRUE(Obsah().contains("Moduly=1:9600, 5:19200, 9:9600, 200:115200\r\n"));
    d_.Sbernice.clear();
    ASSERT_TRUE(UlozNastaveni(&d_, Cesta()));
    EXPECT_FALSE(Obsah().contains("Moduly"));
    for (const char* spatne : {"1:9601", "256", "1:9600:1", "x"})
        EXPECT_FALSE(TextNaSeznamModulu(QString::fromLatin1(spatne))) << spatne;
}

} // namespace

TEST_F(Nastaveni, RadkyBezKliceZustanouKdeStojiAVelkySouborNe) {
    // Lines the parser cannot read stay as they stand, in their place.
    for (const char* text : {"x y\n[Připojení]\nRozhraní=KU-1683\n= z\n",
                             "[Připojení]\n;\x01 z\nRozhraní=KU-1683\nx y\n"}) {
        Zapis(Cp(QString::fromUtf8(text)));
        ASSERT_TRUE(NactiNastaveni(&d_, Cesta()) && UlozNastaveni(&d_, Cesta()));
        const QList<QByteArray> ulozeno = Obsah().split('\n');
        qsizetype predtim = -1;
        for (const QByteArray& radek : Cp(QString::fromUtf8(text)).trimmed().split('\n')) {
            EXPECT_GT(ulozeno.indexOf(radek), predtim) << text << Obsah().toStdString();
            predtim = ulozeno.indexOf(radek);
        }
    }
    // Above 1 MiB the file is read as missing and never replaced.
    const QByteArray velky = Cp(QStringLiteral("[Připojení]\nRozhraní=KU-1683\n;")) +
                             QByteArray(NejvetsiSouborNastaveni, ' ');
    Zapis(velky);
    QString duvod;
    EXPECT_FALSE(NactiNastaveni(&d_, Cesta(), &duvod) || UlozNastaveni(&d_, Cesta()));
    EXPECT_EQ(duvod, QStringLiteral("soubor je větší než 1 MiB"));
    EXPECT_EQ(Obsah(), velky);
    // At the limit it is read, but a save that would make it bigger than
    // the limit writes nothing, so that the next start can still read it.
    const QByteArray naHrane = velky.left(NejvetsiSouborNastaveni);
    Zapis(naHrane);
    QString chyba;
    EXPECT_TRUE(NactiNastaveni(&d_, Cesta()));
    d_.Adresa = 17;
    EXPECT_FALSE(UlozNastaveni(&d_, Cesta(), &chyba));
    EXPECT_TRUE(chyba.endsWith(QStringLiteral("(soubor by byl větší než 1 MiB)")))
        << chyba.toStdString();
    EXPECT_EQ(Obsah(), naHrane);
}
