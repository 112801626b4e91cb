// "Zkouška modulu…" driven through its real widgets with the fake library as
// the module: the operator's confirmations and a skip, the inputs step, a
// stop part-way and a close during the test, each restoring the outputs, and
// the report read back through its text.
#include "FakeModul.h"
#include "OknoZkousky.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace {

class Zkouska : public SFakeModulem {
protected:
    void SetUp() override {
        SFakeModulem::SetUp();
        Registr(1, 1); // watchdog activated
        fake.Odpoved(100, 1, -1, 0, {30, 0, 0, 0});
        okno = std::make_unique<TOknoZkousky>(data);
        okno->Zaklad.DobaMereniMs = 0; // the count read at once: 30 s
        okno->Zaklad.IntervalCteniMs = 0;
        okno->show();
    }
    // The operator: `akce` answers each state of the window while the test
    // runs (called from the window's own event loop).
    void Obsluha(std::function<void()> akce) {
        auto* casovac = new QTimer(okno.get());
        QObject::connect(casovac, &QTimer::timeout, okno.get(), akce);
        casovac->start(0);
    }
    bool Ceka(const char* tlacitko) const {
        return Prvek<QPushButton>(okno.get(), tlacitko)->isEnabled();
    }
    QString Vysledek(int radek) const { return Tabulka()->item(radek, 1)->text(); }
    QString Krok(int radek) const { return Tabulka()->item(radek, 0)->text(); }
    QTableWidget* Tabulka() const { return Prvek<QTableWidget>(okno.get(), "StringGrid1"); }
    // The output words written, in order.
    std::vector<std::uint32_t> Vystupy() const {
        std::vector<std::uint32_t> slova;
        for (const FakeVolani& v : fake.Volani(FakeSend))
            if (v.blok[1] == 1)
                slova.push_back(v.blok[4] | v.blok[5] << 8 | v.blok[6] << 16 | v.blok[7] << 24);
        return slova;
    }
    std::unique_ptr<TOknoZkousky> okno;
    int zapnuty = -1;
};

TEST_F(Zkouska, PotvrzeniPreskoceniVstupyAProtokol) {
    Napis(okno->Edit1, QStringLiteral("Petr Svoboda"));
    Napis(okno->Edit3, QStringLiteral("0x00000005"));
    std::uint32_t vstupy = 0;
    Obsluha([&] {
        if (Ceka("ButtonAno")) {
            const QString text = okno->Label6->text();
            // DOUT3 is not confirmed, DOUT5 skipped, every other one seen.
            const char* odpoved = text.contains(QStringLiteral("DOUT3."))   ? "ButtonNe"
                                  : text.contains(QStringLiteral("DOUT5.")) ? "ButtonPreskocit"
                                                                            : "ButtonAno";
            Klikni(okno.get(), odpoved);
        } else if (Ceka("ButtonHotovo")) {
            // The operator works the inputs one after another, all but DIN31.
            if (vstupy == 0x7FFFFFFFu) {
                Klikni(okno.get(), "ButtonHotovo");
                return;
            }
            vstupy = vstupy << 1 | 1u;
            fake.Odpoved(0, 64, -1, 0,
                         {vstupy & 0xFF, vstupy >> 8 & 0xFF, vstupy >> 16 & 0xFF, vstupy >> 24});
        }
    });
    Klikni(okno.get(), "Button1");
    EXPECT_FALSE(okno->Bezi());
    ASSERT_EQ(Tabulka()->rowCount(), 2 + 32 + 1 + 1 + 3);
    const struct {
        int radek;
        const char* krok;
        const char* vysledek;
    } radky[] = {
        {0, "Identifikace modulu", "prošlo"},
        {1, "Konfigurace", "prošlo"},
        {2, "DOUT0", "prošlo"},
        {5, "DOUT3", "selhalo"},
        {7, "DOUT5", "přeskočeno"},
        {34, "Všechny výstupy vypnuty", "prošlo"},
        {35, "Digitální vstupy", "selhalo"},
        {36, "Watchdog", "prošlo"},
        {37, "Status registr", "prošlo"},
        {38, "Obnovení výstupů", "prošlo"},
    };
    for (const auto& r : radky) {
        EXPECT_EQ(Krok(r.radek), QString::fromUtf8(r.krok)) << r.radek;
        EXPECT_EQ(Vysledek(r.radek), QString::fromUtf8(r.vysledek)) << r.krok;
    }
    EXPECT_TRUE(Tabulka()->item(35, 2)->text().endsWith(QStringLiteral("neviděny: DIN31")));
    EXPECT_TRUE(okno->Vstupy[30]->isChecked());
    EXPECT_FALSE(okno->Vstupy[31]->isChecked());
    const auto slova = Vystupy();
    ASSERT_EQ(slova.size(), 34u);
    EXPECT_EQ(slova[7], 1u << 7);
    EXPECT_EQ(slova[32], 0u);
    EXPECT_EQ(slova.back(), 5u) << "the word given at the start";

    QTemporaryDir adresar;
    const QString pdf = adresar.filePath(QStringLiteral("zkouska.pdf"));
    okno->VolbaProtokolu = [&](QWidget*, bool) { return pdf; };
    Klikni(okno.get(), "Button4");
    EXPECT_TRUE(
        Text(okno.get(), "StatusBar1Panel0").startsWith(QStringLiteral(" Protokol uložen")));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(10000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* c :
         {"Petr Svoboda", "Protokol o zkoušce modulu ZR-464", "Negace DIN", "Počáteční stav DOUT",
          "přeskočeno", "Výsledek zkoušky: SELHALO", "Podpis:", "ne (potvrzuje obsluha)"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(c))) << c << "\n" << text.toStdString();
    // Readable when printed: a line of text at least 3 mm high on the page.
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(10000));
    const QRegularExpression podpis(
        QStringLiteral("yMin=\"([0-9.]+)\"[^>]*yMax=\"([0-9.]+)\">Podpis:"));
    const auto m = podpis.match(QString::fromUtf8(p.readAllStandardOutput()));
    ASSERT_TRUE(m.hasMatch());
    EXPECT_GE(m.captured(2).toDouble() - m.captured(1).toDouble(), 8.5) << "points";
    QFile json(adresar.filePath(QStringLiteral("zkouska.json")));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject o = QJsonDocument::fromJson(json.readAll()).object();
    EXPECT_EQ(o[QStringLiteral("obsluha")].toString(), QStringLiteral("Petr Svoboda"));
    EXPECT_EQ(o[QStringLiteral("kroky")].toArray().size(), 39);
    EXPECT_EQ(o[QStringLiteral("verdikt")].toString(), QStringLiteral("selhalo"));
}

// "Zastavit" and closing the window part-way both end the test at once and
// give the outputs the word from the start.
TEST_F(Zkouska, ZastaveniAZavreniObnoviVystupy) {
    for (const char* jak : {"Button2", "zavrit"}) {
        fake.Reset();
        Registr(1, 1);
        Napis(okno->Edit3, QStringLiteral("0x80000000"));
        okno->show();
        Obsluha([&, jak] {
            if (!Ceka("ButtonAno")) return;
            if (!okno->Label6->text().contains(QStringLiteral("DOUT2."))) {
                Klikni(okno.get(), "ButtonAno");
                return;
            }
            if (std::string(jak) == "Button2")
                Klikni(okno.get(), "Button2");
            else
                okno->close();
        });
        Klikni(okno.get(), "Button1");
        for (QTimer* t : okno->findChildren<QTimer*>())
            t->stop();
        EXPECT_FALSE(okno->Bezi()) << jak;
        EXPECT_EQ(okno->isVisible(), std::string(jak) == "Button2") << jak;
        const auto slova = Vystupy();
        ASSERT_EQ(slova.size(), 4u) << jak;
        EXPECT_EQ(slova[2], 4u) << jak;
        EXPECT_EQ(slova.back(), 0x80000000u) << jak;
        EXPECT_EQ(Krok(Tabulka()->rowCount() - 1), QStringLiteral("Obnovení výstupů")) << jak;
        EXPECT_TRUE(Text(okno.get(), "StatusBar1Panel0").contains(QStringLiteral("zastavena")))
            << jak;
    }
}

} // namespace
