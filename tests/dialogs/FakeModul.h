// Shared ground of the configuration dialog tests against the fake driver
// library: a record connected through the fake XKU1683, the requests it
// received, and every text a dialog's status panel showed.
#pragma once

#include "FakeOvladac.h"
#include "Pomocne.h"
#include "Xxxx683.h"

#include <QEvent>
#include <QLabel>
#include <QStringList>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

// One request as the module got it: command code and D1 to D5.
struct TOdeslano {
    std::uint32_t Kod;
    std::array<std::uint32_t, 5> D;
    bool operator==(const TOdeslano&) const = default;
};

inline void PrintTo(const TOdeslano& o, std::ostream* os) {
    *os << o.Kod << ":" << o.D[0] << "," << o.D[1] << "," << o.D[2] << "," << o.D[3] << ","
        << o.D[4];
}

// Read and write register requests as the dialogs send them.
inline TOdeslano Cteni(std::uint32_t r, std::uint32_t v = 0) {
    return {102, {0, r, r, v, v}};
}
inline TOdeslano Zapis(std::uint32_t r, std::uint32_t v) {
    return {103, {0, r, r, v, v}};
}

class SFakeModulem : public ::testing::Test {
protected:
    static constexpr std::uint8_t Typ = 3;
    static constexpr std::uint8_t AdresaModulu = 7;

    void SetUp() override {
        ASSERT_TRUE(fake.Otevren());
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_DIR));
        VychoziData(&data);
        data.Rozhrani = Typ;
        data.Adresa = AdresaModulu;
        ASSERT_EQ(InitRozhrani(Typ, data.Spojeni, data.Parametry), 0u);
        data.Inicializovano = true;
        fake.Reset();
    }
    void TearDown() override {
        KonecRozhrani(Typ, data.Spojeni);
        NastavAdresarKnihoven(QString());
    }

    // Register r reads v.
    void Registr(std::uint32_t r, std::uint32_t v) {
        fake.Odpoved(102, 0, int(r), 0, {r, r, v, 0});
    }

    // Every request sent since the last reset; each goes to the record's
    // module with parameter 0.
    std::vector<TOdeslano> Odeslane() const {
        std::vector<TOdeslano> vse;
        for (const FakeVolani& v : fake.Volani(FakeSend)) {
            EXPECT_EQ(v.blok[0], AdresaModulu);
            EXPECT_EQ(v.blok[2], 0u);
            vse.push_back({v.blok[1], {v.blok[3], v.blok[4], v.blok[5], v.blok[6], v.blok[7]}});
        }
        return vse;
    }

    QString TextChybyFake(std::uint32_t kod) const {
        return QStringLiteral(" ") + TextKodu(Typ, kod);
    }

    FakeOvladac fake{ZR_FAKELIB_DIR, Typ};
    TData data;
};

// Every text the status panel was painted with, in order. The dialogs
// repaint the panel at once after each change, also while a sequence keeps
// the message loop from running.
class ZaznamStavu : public QObject {
public:
    explicit ZaznamStavu(QWidget* dialog)
        : Panel(dialog->findChild<QLabel*>(QStringLiteral("StatusBar1Panel0"))) {
        if (Panel != nullptr) Panel->installEventFilter(this);
    }
    QStringList Texty;

protected:
    bool eventFilter(QObject*, QEvent* udalost) override {
        if (udalost->type() == QEvent::Paint && (Texty.isEmpty() || Texty.back() != Panel->text()))
            Texty << Panel->text();
        return false;
    }

private:
    QLabel* Panel;
};

// The texts of a full read or write with these progress figures.
inline QStringList TextyPrubehu(bool zapis, std::initializer_list<int> procenta) {
    const QString zacatek = zapis ? QStringLiteral(" Probíhá zápis konfigurace do modulu (")
                                  : QStringLiteral(" Probíhá čtení konfigurace z modulu (");
    QStringList texty;
    for (int p : procenta)
        texty << zacatek + QString::number(p) + QStringLiteral(" %)");
    texty << (zapis ? QStringLiteral(" Konfigurace zapsána.")
                    : QStringLiteral(" Konfigurace přečtena."));
    return texty;
}
