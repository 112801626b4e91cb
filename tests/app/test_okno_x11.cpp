// The main window on a real X server (started by xserver.sh): its outer size,
// frame included, and its place in the centre of the screen, as the X server
// itself reports them, with the window manager the script started
// (ZR_SPRAVCE_OKEN=openbox) or with none.
#include "Hlavni.h"
#include "Pismo.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

// Readable failure messages for sizes.
inline void PrintTo(const QSize& velikost, std::ostream* os) {
    *os << velikost.width() << 'x' << velikost.height();
}

namespace {

bool SeSpravcemOken() {
    return qEnvironmentVariable("ZR_SPRAVCE_OKEN") != QLatin1String("none");
}

// The output of an X client program, empty when it failed.
QString Vystup(const QString& program, const QStringList& argumenty) {
    QProcess proces;
    proces.start(program, argumenty);
    if (!proces.waitForFinished(5000) || proces.exitCode() != 0) return {};
    return QString::fromLocal8Bit(proces.readAllStandardOutput());
}

int Cislo(const QString& text, const QString& popisek) {
    const auto shoda = QRegularExpression(popisek + QStringLiteral(":\\s*(-?\\d+)")).match(text);
    return shoda.hasMatch() ? shoda.captured(1).toInt() : -1;
}

// What the X server says of a top-level window: the window itself in screen
// coordinates, and the frame the window manager put around it.
struct TStavX {
    QRect Okno;
    QMargins Ramecek;
    bool MaRamecek = false;
    QRect Vnejsi() const { return Okno.marginsAdded(Ramecek); }
};

std::optional<TStavX> StavX(WId okno) {
    const QString id = QString::number(okno);
    const QString info = Vystup(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    if (info.isEmpty()) return std::nullopt;
    TStavX stav;
    stav.Okno = QRect(Cislo(info, QStringLiteral("Absolute upper-left X")),
                      Cislo(info, QStringLiteral("Absolute upper-left Y")),
                      Cislo(info, QStringLiteral("Width")), Cislo(info, QStringLiteral("Height")));
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const QString okraje = Vystup(
        QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    const auto shoda =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(okraje);
    if (shoda.hasMatch()) {
        stav.MaRamecek = true;
        stav.Ramecek = QMargins(shoda.captured(1).toInt(), shoda.captured(3).toInt(),
                                shoda.captured(2).toInt(), shoda.captured(4).toInt());
    }
    return stav;
}

std::string Popis(const QRect& r) {
    return QStringLiteral("%1x%2+%3+%4")
        .arg(r.width())
        .arg(r.height())
        .arg(r.x())
        .arg(r.y())
        .toStdString();
}

TEST(OknoX11, VnejsiRozmerAStredPodleXServeru) {
    QTemporaryDir adresar;
    ASSERT_TRUE(adresar.isValid());
    TForm1 okno(nullptr, adresar.filePath(QStringLiteral("W_zr464.ini")));
    okno.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&okno, 10000));
    const QRect obrazovka = okno.screen()->availableGeometry();
    const QRect ocekavane(obrazovka.center() - QPoint(300, 200), QSize(600, 400));
    const bool spravce = SeSpravcemOken();

    // Under a window manager the frame comes some time after the window is
    // mapped; until then the window alone would look right.
    std::optional<TStavX> stav;
    auto hotovo = [&] {
        stav = StavX(okno.winId());
        if (!stav || (spravce && (!stav->MaRamecek || stav->Ramecek.isNull()))) return false;
        const QRect vnejsi = stav->Vnejsi();
        return vnejsi.size() == ocekavane.size() &&
               (vnejsi.topLeft() - ocekavane.topLeft()).manhattanLength() <= 1;
    };
    const bool dosazeno = QTest::qWaitFor(hotovo, 10000);
    ASSERT_TRUE(stav.has_value()) << "xwininfo could not describe the window";
    EXPECT_TRUE(dosazeno) << "outer " << Popis(stav->Vnejsi()) << ", window " << Popis(stav->Okno)
                          << ", expected outer " << Popis(ocekavane);
    EXPECT_EQ(stav->MaRamecek, spravce);

    okno.close();
}

} // namespace

int main(int argc, char** argv) {
    QApplication aplikace(argc, argv);
    NastavPismoProgramu();
    ::testing::InitGoogleTest(&argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "test_okno_x11 needs an X server; run it through xserver.sh\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
