// The tools: the record of polls and its CSV file, the timeline's drawing
// (what it paints piece by piece equals a full painting; a gap shows no
// level), the timeline window and the diagnostics window through the
// scriptable fake driver.
#include "FakeOvladac.h"
#include "GrafVstupu.h"
#include "Hlavni.h"
#include "Okna.h"
#include "PrubehVstupu.h"
#include "Xxxx683.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimeZone>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

using TBajty = std::array<std::uint32_t, 4>;
const QString Neinicializovano = QStringLiteral(" Připojení k modulu není inicializováno.");
const QDateTime Poledne(QDate(2026, 12, 8), QTime(12, 0), QTimeZone(3600));

struct TKrok {
    // 'h' a value, 'v' a failed poll (Hodnota = result), 'p' a pause, 'z' a
    // stall (Hodnota = the polls missed)
    char Druh;
    std::int64_t CasMs;
    std::uint32_t Hodnota = 0;
};

// The CSV fields after the time for a value: hex and 32 columns.
QByteArray Pole(std::uint32_t hodnota) {
    QByteArray pole = ",0x" + QByteArray::number(hodnota, 16).toUpper().rightJustified(8, '0');
    for (int n = 0; n < 32; ++n)
        pole += (hodnota >> n) & 1u ? ",1" : ",0";
    return pole;
}
const QByteArray Prazdna(33, ',');

struct TPripadZaznamu {
    const char* Nazev;
    std::size_t Kapacita;
    std::vector<TKrok> Kroky;
    std::vector<QByteArray> Csv; // without the header
    std::uint64_t Dotazu, Vypadku;
    std::map<int, std::uint64_t> Zmeny; // inputs not named: 0
};

const TPripadZaznamu PripadyZaznamu[] = {
    {"values, a failed poll, a pause",
     10,
     {{'h', 0, 0x1},
      {'h', 100, 0x3},
      {'v', 200, 6},
      {'h', 300, 0x2},
      {'p', 400},
      {'h', 1900, 0x80000002}},
     {"2026-12-08T12:00:00.000+01:00" + Pole(0x1), "2026-12-08T12:00:00.100+01:00" + Pole(0x3),
      "2026-12-08T12:00:00.200+01:00" + Prazdna, "2026-12-08T12:00:00.300+01:00" + Pole(0x2),
      "2026-12-08T12:00:01.900+01:00" + Pole(0x80000002)},
     5,
     1,
     {{0, 1}, {1, 1}, {31, 1}}},
    {"the ring keeps the newest, the counts keep all",
     3,
     {{'h', 0, 1}, {'h', 10, 0}, {'h', 20, 1}, {'v', 30, 7}, {'h', 40, 0}},
     {"2026-12-08T12:00:00.020+01:00" + Pole(1), "2026-12-08T12:00:00.030+01:00" + Prazdna,
      "2026-12-08T12:00:00.040+01:00" + Pole(0)},
     5,
     1,
     {{0, 3}}},
    {"a stall: no row, counted as the polls it missed",
     10,
     {{'h', 0, 0x1}, {'z', 200, 49}, {'h', 5100, 0x1}},
     {"2026-12-08T12:00:00.000+01:00" + Pole(0x1), "2026-12-08T12:00:05.100+01:00" + Pole(0x1)},
     51,
     49,
     {}},
    {"a time before the last is taken as the last",
     10,
     {{'h', 100, 0x80020001}, {'h', 50, 0}},
     {"2026-12-08T12:00:00.100+01:00" + Pole(0x80020001),
      "2026-12-08T12:00:00.100+01:00" + Pole(0)},
     2,
     0,
     {{0, 1}, {17, 1}, {31, 1}}},
};

TEST(ZaznamVstupu, ZmenyVypadkyACsv) {
    for (const TPripadZaznamu& p : PripadyZaznamu) {
        SCOPED_TRACE(p.Nazev);
        TZaznamVstupu z(p.Kapacita);
        for (const TKrok& k : p.Kroky) {
            if (k.Druh == 'h') z.PridejHodnotu(k.CasMs, k.Hodnota);
            if (k.Druh == 'v') z.PridejVypadek(k.CasMs, static_cast<std::uint8_t>(k.Hodnota));
            if (k.Druh == 'p') z.PridejPauzu(k.CasMs);
            if (k.Druh == 'z') z.PridejZastaveni(k.CasMs, k.Hodnota);
        }
        EXPECT_EQ(z.Dotazu(), p.Dotazu);
        EXPECT_EQ(z.Vypadku(), p.Vypadku);
        for (int n = 0; n < 32; ++n) {
            const auto it = p.Zmeny.find(n);
            EXPECT_EQ(z.Zmeny(n), it == p.Zmeny.end() ? 0u : it->second) << "DIN" << n;
        }
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_EQ(ZapisCsv(z, Poledne, buffer), p.Csv.size());
        QList<QByteArray> radky = buffer.data().split('\n');
        EXPECT_EQ(radky.takeLast(), QByteArray()) << "every line ends with LF";
        ASSERT_EQ(radky.size(), static_cast<qsizetype>(p.Csv.size() + 1));
        EXPECT_EQ(radky[0], "čas,hodnota,DIN0,DIN1,DIN2,DIN3,DIN4,DIN5,DIN6,DIN7,DIN8,DIN9,DIN10,"
                            "DIN11,DIN12,DIN13,DIN14,DIN15,DIN16,DIN17,DIN18,DIN19,DIN20,DIN21,"
                            "DIN22,DIN23,DIN24,DIN25,DIN26,DIN27,DIN28,DIN29,DIN30,DIN31");
        for (std::size_t i = 0; i < p.Csv.size(); ++i)
            EXPECT_EQ(radky[static_cast<qsizetype>(i) + 1], p.Csv[i]);
    }
    QBuffer zavreny; // refuses to write
    EXPECT_FALSE(ZapisCsv(TZaznamVstupu(), Poledne, zavreny).has_value());
}

TEST(ZaznamVstupu, PlatnyV) {
    TZaznamVstupu z;
    EXPECT_FALSE(z.PlatnyV(0).has_value());
    z.PridejHodnotu(100, 1);
    z.PridejVypadek(200, 6);
    z.PridejHodnotu(300, 0);
    const std::pair<std::int64_t, std::optional<std::size_t>> radky[] = {
        {99, std::nullopt}, {100, 0}, {199, 0}, {200, 1}, {250, 1}, {300, 2}, {100000, 2}};
    for (const auto& [cas, index] : radky)
        EXPECT_EQ(z.PlatnyV(cas), index) << cas;
}

// Polls every 50 ms (the shortest period, shorter than a column) for 70 s with a change at every
// poll and a failed poll lasting a second now and then, the view following: what the widget shows
// after painting piece by piece is what a full painting gives, and no level
// is drawn inside a failed poll's gap.
TEST(GrafVstupu, PoCastechJakoCely) {
    TZaznamVstupu zaznam;
    TGrafVstupu graf(zaznam, Poledne, nullptr);
    graf.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&graf));
    std::int64_t vypadek = -1;
    for (std::int64_t t = 0; t <= 70000; t += 50) {
        if (t % 7000 == 3000) {
            zaznam.PridejVypadek(t, 6);
            vypadek = t;
            t += 950;
        } else {
            zaznam.PridejHodnotu(t, (t / 50) % 2 == 0 ? 0x5u : 0xA0000000u);
        }
        graf.NovyVzorek(t + 5);
        QApplication::processEvents();
    }
    const QImage kusy = graf.screen()->grabWindow(graf.winId()).toImage();
    const QImage cely = graf.grab().toImage().convertToFormat(kusy.format());
    ASSERT_EQ(kusy.size(), cely.size());
    EXPECT_TRUE(kusy == cely) << "incremental painting differs from a full one";

    // The column in the middle of the last gap, against one of a value.
    const int xVypadku =
        TGrafVstupu::SirkaJmen + TGrafVstupu::SirkaStopy - 1 -
        static_cast<int>((70005 - vypadek - 500) * TGrafVstupu::SirkaStopy / TGrafVstupu::OknoMs);
    const int xHodnoty = xVypadku - 40;
    const QRgb pozadi = qRgb(255, 255, 255);
    const QRgb stopa = cely.pixel(xHodnoty, 3); // DIN0 high at 64 s
    int stopVHodnote = 0, stopVeVypadku = 0;
    for (int y = 0; y < TGrafVstupu::VyskaRadku * 32; ++y) {
        stopVHodnote += cely.pixel(xHodnoty, y) == stopa ? 1 : 0;
        stopVeVypadku += cely.pixel(xVypadku, y) == stopa ? 1 : 0;
    }
    EXPECT_NE(stopa, pozadi);
    EXPECT_GE(stopVHodnote, 32) << "a level in every row";
    EXPECT_EQ(stopVeVypadku, 0) << "no level inside the gap";
    EXPECT_NE(cely.pixel(xVypadku, 3), pozadi) << "the gap is shaded";
}

class Nastroje : public SpojeniNaFake {};

TEST_F(Nastroje, PrubehVstupu) {
    TPrubehVstupu okno(&data);
    okno.show();
    auto* casovac = Prvek<QTimer>(&okno, "Timer1");
    EXPECT_TRUE(casovac->isActive());
    EXPECT_EQ(casovac->interval(), 100);
    casovac->stop();
    const std::pair<std::uint32_t, TBajty> dotazy[] = {
        {0, {1, 0, 0, 0}}, {0, {3, 0, 0, 128}}, {6, {9, 9, 9, 9}}, {0, {2, 0, 0, 0}}};
    for (const auto& [vysledek, a] : dotazy) {
        fake.SendVysledek(vysledek);
        fake.Odpoved(0, 64, -1, 0, a);
        okno.Timer1Timer();
    }
    const TZaznamVstupu& z = okno.Zaznam();
    ASSERT_EQ(z.Pocet(), 4u);
    EXPECT_EQ(z[1].Hodnota, 0x80000003u);
    EXPECT_FALSE(z[2].MaHodnotu()) << "a failed poll is no value";
    EXPECT_EQ(z[2].Vysledek, 6u);
    EXPECT_EQ(z[3].Hodnota, 0x2u);
    EXPECT_EQ(z.Zmeny(0), 1u);
    EXPECT_EQ(StavOkna(&okno), QStringLiteral(" ") + TextKodu(4, 0));
    for (const FakeVolani& v : fake.Volani(FakeSend)) {
        EXPECT_EQ(v.blok[0], 7u);
        EXPECT_EQ(v.blok[1], 0u);
        EXPECT_EQ(v.blok[2], 64u);
    }

    // The cursor names its time.
    QTest::mouseMove(okno.Graf1, QPoint(TGrafVstupu::SirkaJmen + 500, 20));
    EXPECT_TRUE(Text(&okno, "Label3").startsWith(QStringLiteral("Kurzor: ")));

    // Pause and go on; the period.
    casovac->start();
    Klikni(&okno, "Button1");
    EXPECT_TRUE(okno.Pozastaveno());
    EXPECT_EQ(Text(&okno, "Label2"), QStringLiteral("Dotazů: 4   výpadků: 1 (25,0 %)"));
    EXPECT_FALSE(casovac->isActive());
    EXPECT_EQ(okno.Button1->text(), QStringLiteral("&Pokračovat"));
    okno.Timer1Timer();
    EXPECT_EQ(fake.Volani(FakeSend).size(), 4u) << "nothing sent while paused";
    Klikni(&okno, "Button1");
    EXPECT_TRUE(casovac->isActive());
    EXPECT_EQ(okno.Button1->text(), QStringLiteral("&Pozastavit"));
    okno.ComboBox1->setCurrentIndex(0);
    EXPECT_EQ(casovac->interval(), 50);
    okno.ComboBox1->setCurrentIndex(7);
    EXPECT_EQ(casovac->interval(), 10000);

    // CSV: the polls, the pause left out; only a regular file is replaced.
    QTemporaryDir adresar;
    const QString cesta = adresar.filePath(QStringLiteral("a.csv"));
    EXPECT_TRUE(okno.UlozCsv(cesta));
    EXPECT_EQ(StavOkna(&okno), QStringLiteral(" Uloženo 4 řádků do souboru %1").arg(cesta));
    QFile soubor(cesta);
    ASSERT_TRUE(soubor.open(QIODevice::ReadOnly));
    EXPECT_EQ(soubor.readAll().count('\n'), 5);
    for (const QString& spatna : {adresar.path(), QStringLiteral("/dev/null")}) {
        EXPECT_FALSE(okno.UlozCsv(spatna));
        EXPECT_TRUE(StavOkna(&okno).contains(QStringLiteral("nic nebylo uloženo")))
            << spatna.toStdString();
    }
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile());

    // Escape closes and the polling stops.
    QTest::keyClick(&okno, Qt::Key_Escape);
    EXPECT_FALSE(okno.isVisible());
    EXPECT_FALSE(casovac->isActive());
    okno.Timer1Timer();
    EXPECT_EQ(fake.Volani(FakeSend).size(), 4u);

    data.Inicializovano = false;
    TPrubehVstupu bez(&data);
    bez.show();
    bez.Timer1Timer();
    EXPECT_EQ(StavOkna(&bez), Neinicializovano);
    EXPECT_EQ(bez.Zaznam().Pocet(), 0u);
}

// No poll for longer than twice the period after the last ended: a stall
// from one period after it, counted as the polls missed; a pause, jitter and
// a change of the period are none. Polls go on while the CSV dialog is open.
TEST_F(Nastroje, PrubehVstupuZastaveniJeMezera) {
    TPrubehVstupu okno(&data);
    std::int64_t ted = 0;
    okno.NastavHodiny([&ted] { return ted; });
    okno.show();
    auto* casovac = Prvek<QTimer>(&okno, "Timer1");
    std::string druhy;
    for (const char* krok :
         {"0d", "100d", "5100d", "5200p", "9000p", "9100d", "9250d", "9300r", "9400d", "11000d"}) {
        ted = std::atoi(krok);
        const char k = krok[std::strlen(krok) - 1];
        if (k == 'd') okno.Timer1Timer();
        if (k == 'p') Klikni(&okno, "Button1");
        if (k == 'r') okno.ComboBox1->setCurrentIndex(7); // 10 s
        casovac->stop();
    }
    for (std::size_t i = 0; i < okno.Zaznam().Pocet(); ++i)
        druhy += "hvpz"[static_cast<int>(okno.Zaznam()[i].Druh)];
    EXPECT_EQ(druhy, "hhzhphhhh");
    EXPECT_EQ(okno.Zaznam()[2].CasMs, 200);
    EXPECT_EQ(okno.Zaznam().Vypadku(), 49u);

    const std::size_t pred = fake.Volani(FakeSend).size();
    okno.ComboBox1->setCurrentIndex(0); // 50 ms
    casovac->start();
    PriModalnim([&](QDialog*) {
        QElapsedTimer cas;
        for (cas.start(); fake.Volani(FakeSend).size() < pred + 3 && cas.elapsed() < 5000;)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    });
    Klikni(&okno, "Button2");
    EXPECT_GE(fake.Volani(FakeSend).size(), pred + 3);
}

// Through the main window: the counts of transactions of any window, the
// texts of the failures, "Vynulovat", a fresh start on a new connection.
TEST_F(Nastroje, DiagnostikaSpojeni) {
    QTemporaryDir adresar;
    TForm1 hlavni(nullptr, adresar.filePath(QStringLiteral("W_zr464.ini")));
    TData& d = *hlavni.Data();
    d = data;
    ASSERT_EQ(InitRozhrani(4, d.Spojeni, d.Parametry), 0u);
    auto* akce = Prvek<QAction>(&hlavni, "DiagnostikaSpojeni1");
    ASSERT_NE(akce, nullptr);
    for (std::uint32_t vysledek : {0u, 0u, 6u, 7u, 6u}) {
        fake.SendVysledek(vysledek);
        ProvedPrikaz(d, 0, 64, {});
    }
    const auto zobrazeno = [](QDialog* okno) {
        QStringList texty;
        for (int k = 10; k <= 14; ++k)
            texty << Text(okno, QByteArray("Label" + QByteArray::number(k)).constData());
        const auto* tabulka = Prvek<QTableWidget>(okno, "Tabulka1");
        for (int r = 0; r < tabulka->rowCount(); ++r)
            for (int s = 0; s < 3; ++s)
                texty << tabulka->item(r, s)->text();
        return texty;
    };
    QStringList pred, poVynulovani;
    auto nalezen = PriModalnim([&](QDialog* okno) {
        EXPECT_EQ(StavOkna(okno), QStringLiteral(" "));
        pred = zobrazeno(okno);
        Klikni(okno, "Button1");
        poVynulovani = zobrazeno(okno);
        QTest::keyClick(okno, Qt::Key_Escape);
        EXPECT_FALSE(okno->isVisible());
    });
    akce->trigger();
    EXPECT_TRUE(*nalezen);
    EXPECT_EQ(pred, (QStringList{"5", "2 (40,0 %)", "3 (60,0 %)", "2 (40,0 %)", "1 (20,0 %)", "6",
                                 TextKodu(4, 6), "2", "7", TextKodu(4, 7), "1"}));
    EXPECT_EQ(poVynulovani, (QStringList{"0", "0", "0", "0", "0"}));

    fake.SendVysledek(0);
    ProvedPrikaz(d, 0, 64, {});
    EXPECT_EQ(hlavni.Statistika().Souhrn().Transakci, 1u);
    ASSERT_EQ(InitRozhrani(4, d.Spojeni, d.Parametry), 0u);
    d.Inicializovano = false;
    nalezen = PriModalnim([&](QDialog* okno) {
        EXPECT_EQ(Text(okno, "Label10"), QStringLiteral("0")) << "a new connection";
        EXPECT_EQ(StavOkna(okno), Neinicializovano);
    });
    akce->trigger();
    EXPECT_TRUE(*nalezen);
    d.Inicializovano = true;
}

} // namespace
