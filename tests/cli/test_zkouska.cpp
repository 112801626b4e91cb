// zr464-cli commission as a process against a simulated bus with the
// loopback fixture: the exit code, the steps in the JSON beside the report,
// the PDF's text through pdftotext, and the outputs restored afterwards.
#include "Cfm.h"
#include "ChildProcess.h"
#include "Control.h"
#include "Sbernice.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct TZkouska {
    const char* Nazev;
    const char* Ovladani; // a control command of the simulator first, or ""
    std::vector<std::string> Volby;
    int Kod;
    std::vector<std::string> Selhalo; // the steps that failed
};

std::vector<TZkouska> Zkousky() {
    return {
        {"vse prochazi", "", {}, 0, {}},
        {"zaseknuty vstup", "stuck 1 7 0", {}, 3, {"DOUT7 → DIN7", "Všechny výstupy vypnuty"}},
        // Through the negations pin 12 at 1 is the rest state: only its
        // own step sees it.
        {"vstup zaseknuty v klidu", "stuck 1 12 1", {}, 3, {"DOUT12 → DIN12"}},
        {"jina konfigurace", "", {"--expect", "@jina.cfm"}, 3, {"Konfigurace"}},
        {"stejna konfigurace", "", {"--expect", "@stejna.cfm"}, 0, {}},
        // The first command that fails ends the test; the outputs are restored.
        {"modul neodpovida na cteni vstupu",
         "fault command 0/64 5",
         {},
         1,
         {"Všechny výstupy vypnuty"}},
    };
}

QString PdfText(const std::string& cesta) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QString::fromStdString(cesta), QStringLiteral("-")});
    if (!p.waitForFinished(10000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

void Soubor(const std::string& cesta, const QByteArray& obsah) {
    QFile f(QString::fromStdString(cesta));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(obsah);
}

class Zkouska : public ::testing::TestWithParam<TZkouska> {};

TEST_P(Zkouska, VysledekKrokuProtokolAObnoveneVystupy) {
    const TZkouska& z = GetParam();
    TSbernice bus({{1, 9600}, {2, 9600}}, true);
    bool konec = false;
    zrsim::Control ovladani(bus.Sim);
    if (*z.Ovladani) {
        ASSERT_EQ(ovladani.execute(z.Ovladani, konec), "ok\n");
    }
    // The simulator's modules start with the program's default configuration.
    TKonfigurace k = VychoziKonfigurace();
    Soubor(bus.Cesta("stejna.cfm"), ZapisCfm(k, {}));
    k.InicializacniCas = 300;
    Soubor(bus.Cesta("jina.cfm"), ZapisCfm(k, {}));

    const std::string pdf = bus.Cesta("r.pdf");
    std::vector<std::string> argumenty = {
        "commission", "--loopback", "--report",   pdf,          "--address",
        "2",          "--restore",  "0x00010001", "--operator", "Jana Nováková"};
    for (const std::string& v : z.Volby)
        argumenty.push_back(v.front() == '@' ? bus.Cesta(v.substr(1)) : v);
    const auto p = bus.Pripojeni();
    argumenty.insert(argumenty.end(), p.begin(), p.end());
    ChildProcess cli("zr464-cli", argumenty, ChildProcess::Input::Null);
    ASSERT_TRUE(cli.started());
    ASSERT_EQ(cli.finish(std::chrono::seconds(30)), z.Kod) << cli.out << cli.err;
    EXPECT_EQ(bus.Sim.view(1)->outputRegister, 0x00010001u) << "outputs restored";
    EXPECT_EQ(bus.Sim.view(0)->outputRegister, 0u) << "the other module untouched";

    QFile json(QString::fromStdString(bus.Cesta("r.json")));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject protokol = QJsonDocument::fromJson(json.readAll()).object();
    std::vector<std::string> selhalo;
    for (const QJsonValue k : protokol[QStringLiteral("kroky")].toArray())
        if (k[QStringLiteral("vysledek")].toString() == QStringLiteral("selhalo"))
            selhalo.push_back(k[QStringLiteral("krok")].toString().toStdString());
    EXPECT_EQ(selhalo, z.Selhalo);

    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("ZR-464 v.1.04, SIM-0001"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Jana Nováková")));
    EXPECT_TRUE(text.contains(QStringLiteral("Podpis:")));
    EXPECT_TRUE(text.contains(z.Kod == 0 ? QStringLiteral("Výsledek zkoušky: PROŠLO")
                                         : QStringLiteral("Výsledek zkoušky: SELHALO")));
    for (int n = 0; z.Kod == 0 && n < 32; ++n)
        EXPECT_TRUE(
            text.contains(QRegularExpression(QStringLiteral("DOUT%1 → DIN%1 +prošlo").arg(n))))
            << n;
    // The text tool may wrap a long step name within its cell: its first two
    // words and the result stand on one line.
    for (const std::string& s : z.Selhalo) {
        const QStringList slova = QString::fromStdString(s).split(u' ').mid(0, 2);
        QStringList vzor;
        for (const QString& slovo : slova)
            vzor << QRegularExpression::escape(slovo);
        EXPECT_TRUE(text.contains(QRegularExpression(vzor.join(QStringLiteral("\\s+")) +
                                                     QStringLiteral("[^\\n]*\\sSELHALO"))))
            << s << text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, Zkouska, ::testing::ValuesIn(Zkousky()), [](const auto& i) {
    std::string n = i.param.Nazev;
    for (char& c : n)
        if (c == ' ') c = '_';
    return n;
});

// Bad input is refused before anything is sent to the module.
TEST(CliZkouska, ChybneZadaniNicNeposle) {
    TSbernice bus({{1, 9600}}, true);
    Soubor(bus.Cesta("vadny.cfm"), "format = zr464-cfm 1\nnesmysl = 3\n");
    const std::vector<std::vector<std::string>> radky = {
        {"commission", "--report", bus.Cesta("r.pdf")},
        {"commission", "--loopback"},
        {"commission", "--loopback", "--report", bus.Cesta("r.pdf"), "--expect",
         bus.Cesta("vadny.cfm")},
        {"commission", "--loopback", "--report", bus.Cesta("")},
    };
    for (const auto& r : radky) {
        EXPECT_EQ(bus.Spust(r).Kod, 2) << r.back();
        EXPECT_EQ(bus.Sim.requestCount(), 0u) << r.back();
    }
}

} // namespace
