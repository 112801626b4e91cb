// The program itself: Ctrl-C during a scan ends it after the probe in
// progress, with what was found and exit code 130.
#include "ChildProcess.h"
#include "Sbernice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <gtest/gtest.h>

TEST(CliProces, PrerusenySkenVypiseNalezeneAKonci130) {
    TSbernice bus({{1, 9600}});
    std::vector<std::string> argumenty = {"scan", "--addresses", "0-255",  "--rates",
                                          "9600", "--json",      "--trace"};
    const auto p = bus.Pripojeni();
    argumenty.insert(argumenty.end(), p.begin(), p.end());
    ChildProcess cli("zr464-cli", argumenty, ChildProcess::Input::Null);
    ASSERT_TRUE(cli.started());
    // The probe of address 3 has been sent: module 1 was found before it.
    ASSERT_TRUE(cli.waitForError("\"adresa\":3", std::chrono::seconds(10))) << cli.err;
    cli.signal(SIGINT);
    ASSERT_EQ(cli.finish(std::chrono::seconds(10)), 130) << cli.out << cli.err;

    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(cli.out)).object();
    EXPECT_TRUE(json[QStringLiteral("preruseno")].toBool());
    const QJsonArray moduly = json[QStringLiteral("moduly")].toArray();
    ASSERT_EQ(moduly.size(), 1);
    EXPECT_EQ(moduly[0][QStringLiteral("adresa")].toInt(), 1);
    EXPECT_LT(json[QStringLiteral("sond")].toInt(), 256);
}

TEST(CliProces, WatchDoRouryPosilaKazdeCteniHned) {
    TSbernice bus({{1, 9600}});
    std::vector<std::string> argumenty = {"inputs", "--watch", "--interval", "100", "-a", "1"};
    for (const std::string& a : bus.Pripojeni())
        argumenty.push_back(a);
    ChildProcess cli("zr464-cli", argumenty, ChildProcess::Input::Null);
    EXPECT_NE(cli.line().find("DIN0-31: ") /* while it runs */, std::string::npos) << cli.err;
    cli.signal(SIGINT);
    EXPECT_EQ(cli.finish(std::chrono::seconds(10)), 130) << cli.out << cli.err;
}
