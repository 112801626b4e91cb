// Shared helpers of the live window tests: the four windows by name, what a
// window shows, and a window opened and shown on a record.
#pragma once

#include "FakeOvladac.h"
#include "OkamDIN.h"
#include "OkamDOUT.h"
#include "Pomocne.h"
#include "StatReg.h"
#include "TestWD.h"
#include "Xxxx683.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <QTimer>
#include <memory>

enum class TOkno { Vstupy, Vystupy, Status, Watchdog };

inline std::unique_ptr<TZiveOkno> Otevri(TOkno druh, TData* data) {
    std::unique_ptr<TZiveOkno> okno;
    switch (druh) {
    case TOkno::Vstupy:
        okno = std::make_unique<TForm11>(data);
        break;
    case TOkno::Vystupy:
        okno = std::make_unique<TForm9>(data);
        break;
    case TOkno::Status:
        okno = std::make_unique<TForm15>(data);
        break;
    case TOkno::Watchdog:
        okno = std::make_unique<TForm3>(data);
        break;
    }
    okno->show();
    return okno;
}

// What a window shows: the 32 value labels as one text ("0100...") for the
// 32-bit display, else the watchdog time display.
inline QString Zobrazeno(const QWidget* okno) {
    if (okno->findChild<QLabel*>(QStringLiteral("Label33")) == nullptr) return Text(okno, "Panel1");
    QString bity;
    for (int k = 33; k <= 64; ++k)
        bity += Text(okno, QStringLiteral("Label%1").arg(k).toLatin1().constData());
    return bity;
}

// 32 bits as the display shows them, with the given bits set.
inline QString Bity(std::initializer_list<int> jednicky) {
    QString bity(32, QLatin1Char('0'));
    for (int n : jednicky)
        bity[n] = QLatin1Char('1');
    return bity;
}

inline QString StavOkna(const QWidget* okno) {
    return Text(okno, "StatusBar1Panel0");
}

// A record connected through the fake LAN library (type 4) at address 7.
class SpojeniNaFake : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_DIR));
        VychoziData(&data);
        data.Rozhrani = 4;
        data.Adresa = 7;
        data.IPAdresa = QStringLiteral("127.0.0.1");
        ASSERT_TRUE(ParametryLAN(data));
        ASSERT_EQ(InitRozhrani(4, data.Spojeni, data.Parametry), 0u);
        data.Inicializovano = true;
        fake.Reset();
    }
    void TearDown() override {
        KonecRozhrani(4, data.Spojeni);
        NastavAdresarKnihoven(QString());
    }
    FakeOvladac fake{ZR_FAKELIB_DIR, 4};
    TData data;
};
