// Every text a window shows fits its label, in the program's font as the
// offscreen platform resolves it: the status texts with their longest values
// (module identification, progress, validation, every text of the libraries)
// and every caption.
#include "CasovacWD.h"
#include "Hlavni.h"
#include "NastavAdr.h"
#include "NastavDIO.h"
#include "OkamDIN.h"
#include "OkamDOUT.h"
#include "Pismo.h"
#include "Pomocne.h"
#include "Pripojeni.h"
#include "StatReg.h"
#include "TestWD.h"
#include "Xxxx683.h"

#include <QFontInfo>
#include <QTemporaryDir>
#include <span>
#include <tuple>
#include <vector>

namespace {

// The width a label has for its text: its contents less the margin and the
// indent a framed label keeps (as QLabel lays its text out).
void OcekavejVejdeSe(const QLabel* popisek, const QString& text) {
    int odsazeni = popisek->indent();
    if (odsazeni < 0 && popisek->frameWidth() > 0)
        odsazeni =
            popisek->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - popisek->margin();
    const int sirka =
        popisek->contentsRect().width() - 2 * popisek->margin() - std::max(odsazeni, 0);
    EXPECT_LE(popisek->fontMetrics().horizontalAdvance(text), sirka)
        << popisek->window()->objectName().toStdString() << "/"
        << popisek->objectName().toStdString() << ": \"" << text.toStdString() << "\"";
}

// Every text of the libraries: the plain text of each code, and the
// failures to open a device at its default path (COM 200 is /dev/ttyS199,
// which no machine has; a USB converter is looked for among /dev/ttyUSB*).
QStringList TextyKnihoven() {
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    QStringList texty;
    for (std::uint32_t kod = 0; kod < 100; ++kod)
        texty << TextKodu(4, kod);
    for (const auto& [typ, slovo0] : {std::pair<std::uint8_t, std::uint32_t>{0, 200}, {3, 0}}) {
        std::uint32_t spojeni = 0;
        const std::uint32_t kod = InitRozhrani(typ, spojeni, TParametry{slovo0});
        if (kod != 0) texty << TextKodu(typ, kod);
        KonecRozhrani(typ, spojeni);
    }
    NastavAdresarKnihoven(QString());
    return texty;
}

// The offscreen platform resolves the program's font itself, not a
// fallback, so the widths below are those the operator sees.
TEST(Texty, PismoProgramuJeNalezeno) {
    const QFontInfo info(QApplication::font());
    EXPECT_EQ(info.family(), QString::fromLatin1(RodinaPisma));
    EXPECT_EQ(info.pixelSize(), VelikostPismaPx);
    EXPECT_TRUE(info.exactMatch());
}

TEST(Texty, KazdyTextSeVejdeDoSvehoPopisku) {
    QTemporaryDir adresar;
    TData data;
    VychoziData(&data);
    TForm1 hlavni(nullptr, adresar.filePath(QStringLiteral("W_zr464.ini")));
    TForm2 pripojeni(&data);
    TForm12 adresa(&data);
    TForm14 dio(&data);
    TForm4 casovac(&data);
    TForm11 vstupy(&data);
    TForm9 vystupy(&data);
    TForm15 status(&data);
    TForm3 watchdog(&data);
    // The configuration dialogs first, then the live windows.
    const std::vector<QWidget*> sPanelem = {&adresa,  &dio,    &casovac, &vstupy,
                                            &vystupy, &status, &watchdog};
    std::vector<QWidget*> okna = {&hlavni, &pripojeni};
    okna.insert(okna.end(), sPanelem.begin(), sPanelem.end());
    // Shown, so that the layouts have set every width.
    for (QWidget* okno : okna)
        okno->show();
    QApplication::processEvents();

    const QString modul = QStringLiteral("ZR-464DM v.1.04"); // 15 characters, all used
    const QStringList knihovny = TextyKnihoven();
    std::vector<std::tuple<QWidget*, const char*, QString>> radky = {
        {&hlavni, "StatusBar1Panel0", " Modul  ZR-464   v.1.04"},
        {&hlavni, "StatusBar1Panel0", " Modul  " + modul},
        {&hlavni, "StatusBar1Panel1", " Adresa  255"},
        {&hlavni, "StatusBar1Panel2", " Rychlost  115200Bd"},
        {&pripojeni, "Panel1", "Připojení úspěšně inicializováno. Připojen modul   " + modul},
    };
    for (const QString& text : knihovny)
        radky.emplace_back(&pripojeni, "Panel1", "Chyba inicializace připojení - " + text);
    for (QWidget* okno : std::span(sPanelem).first(3))
        for (const char* text : {" Probíhá čtení konfigurace z modulu (100 %)",
                                 " Probíhá zápis konfigurace do modulu (100 %)",
                                 " Připojení k modulu není inicializováno.",
                                 " Komunikační rychlost musí být v rozsahu 600Bd-115200Bd.",
                                 " Čas musí být v rozsahu 1-65535."})
            radky.emplace_back(okno, "StatusBar1Panel0", QString::fromUtf8(text));
    for (QWidget* okno : std::span(sPanelem).subspan(3))
        for (const char* text : {" Připojení k modulu není inicializováno.", " Nový čas zapsán"})
            radky.emplace_back(okno, "StatusBar1Panel0", QString::fromUtf8(text));
    // A narrow status bar may cut a text's closing detail in parentheses (a
    // device path), never what comes before it.
    for (QWidget* okno : sPanelem)
        for (const QString& text : knihovny)
            radky.emplace_back(okno, "StatusBar1Panel0",
                               " " +
                                   (text.endsWith(')') ? text.left(text.lastIndexOf(" (")) : text));
    for (const auto& [okno, jmeno, text] : radky)
        if (auto* popisek = Prvek<QLabel>(okno, jmeno)) OcekavejVejdeSe(popisek, text);

    // The captions every window shows.
    for (const QWidget* okno : okna)
        for (const QLabel* popisek : okno->findChildren<QLabel*>())
            if (popisek->isVisibleTo(okno)) OcekavejVejdeSe(popisek, popisek->text());
}

} // namespace
