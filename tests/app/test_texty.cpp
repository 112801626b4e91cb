// Every text a window shows fits the control that shows it, in the
// program's font as the offscreen platform resolves it: the status texts
// with their longest values (module identification, progress, validation and
// every text of the libraries) and each label, button and list item.
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

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace {

// The width a label has for its text: its contents less the margin and the
// indent a framed label keeps (as QLabel lays its text out).
int SirkaProText(const QLabel* popisek) {
    int odsazeni = popisek->indent();
    if (odsazeni < 0 && popisek->frameWidth() > 0)
        odsazeni =
            popisek->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - popisek->margin();
    return popisek->contentsRect().width() - 2 * popisek->margin() - std::max(odsazeni, 0);
}

// The same for a button (its contents as the style draws them) or a list
// (its edit field).
int SirkaProText(const QWidget* prvek) {
    if (const auto* popisek = qobject_cast<const QLabel*>(prvek)) return SirkaProText(popisek);
    QStyle* styl = prvek->style();
    if (const auto* seznam = qobject_cast<const QComboBox*>(prvek)) {
        QStyleOptionComboBox o;
        o.initFrom(seznam);
        return styl->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, seznam)
            .width();
    }
    QStyleOptionButton o;
    o.initFrom(prvek);
    o.text = qobject_cast<const QAbstractButton*>(prvek)->text();
    const auto cast =
        qobject_cast<const QPushButton*>(prvek) != nullptr ? QStyle::SE_PushButtonContents
        : qobject_cast<const QCheckBox*>(prvek) != nullptr ? QStyle::SE_CheckBoxContents
                                                           : QStyle::SE_RadioButtonContents;
    return styl->subElementRect(cast, &o, prvek).width();
}

// The texts a control shows now: a label's or button's, every item of a list.
QStringList TextyPrvku(const QWidget* prvek) {
    if (const auto* popisek = qobject_cast<const QLabel*>(prvek)) return {popisek->text()};
    if (const auto* tlacitko = qobject_cast<const QAbstractButton*>(prvek))
        return {tlacitko->text()};
    QStringList polozky;
    if (const auto* seznam = qobject_cast<const QComboBox*>(prvek))
        for (int i = 0; i < seznam->count(); ++i)
            polozky << seznam->itemText(i);
    return polozky;
}

void OcekavejVejdeSe(const QWidget* okno, const QWidget* prvek, const QString& text) {
    const int potreba = prvek->fontMetrics().horizontalAdvance(text);
    EXPECT_LE(potreba, SirkaProText(prvek))
        << okno->objectName().toStdString() << "/" << prvek->objectName().toStdString() << ": \""
        << text.toStdString() << "\"";
}

// Every text of the libraries, as the windows show them: the plain text of
// each code, and the failures to open a device at its default path.
QStringList TextyKnihoven() {
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    QStringList texty;
    for (std::uint32_t kod = 0; kod < 100; ++kod)
        texty << TextKodu(4, kod);
    // COM 200 is /dev/ttyS199, which no machine has; a USB converter is
    // looked for among /dev/ttyUSB*.
    for (const auto& [typ, slovo0] : {std::pair{0, 200}, std::pair{3, 0}}) {
        std::uint32_t spojeni = 0;
        TParametry parametry{};
        parametry[0] = static_cast<std::uint32_t>(slovo0);
        const std::uint32_t kod = InitRozhrani(static_cast<std::uint8_t>(typ), spojeni, parametry);
        if (kod != 0) texty << TextKodu(static_cast<std::uint8_t>(typ), kod);
        KonecRozhrani(static_cast<std::uint8_t>(typ), spojeni);
    }
    NastavAdresarKnihoven(QString());
    return texty;
}

class Texty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(adresar.isValid());
        VychoziData(&data);
    }
    // Shows the window, so that its layout has set every width.
    template <class T> T* Ukaz(std::unique_ptr<T> okno) {
        okno->show();
        QApplication::processEvents();
        T* ukazane = okno.get();
        okna.emplace_back(std::move(okno));
        return ukazane;
    }

    QTemporaryDir adresar;
    TData data;
    std::vector<std::unique_ptr<QWidget>> okna;
};

// The offscreen platform resolves the program's font itself, not a
// fallback, so the widths below are those the operator sees.
TEST_F(Texty, PismoProgramuJeNalezeno) {
    const QFontInfo info(QApplication::font());
    EXPECT_EQ(info.family(), QString::fromLatin1(RodinaPisma));
    EXPECT_EQ(info.pixelSize(), VelikostPismaPx);
    EXPECT_TRUE(info.exactMatch());
}

TEST_F(Texty, KazdyTextSeVejdeDoSvehoPrvku) {
    auto* hlavni = Ukaz(std::make_unique<TForm1>(nullptr, adresar.filePath("W_zr464.ini")));
    auto* pripojeni = Ukaz(std::make_unique<TForm2>(&data));
    const std::vector<QWidget*> dialogy = {Ukaz(std::make_unique<TForm12>(&data)),
                                           Ukaz(std::make_unique<TForm14>(&data)),
                                           Ukaz(std::make_unique<TForm4>(&data))};
    const std::vector<QWidget*> ziva = {
        Ukaz(std::make_unique<TForm11>(&data)), Ukaz(std::make_unique<TForm9>(&data)),
        Ukaz(std::make_unique<TForm15>(&data)), Ukaz(std::make_unique<TForm3>(&data))};
    const QString modul = QStringLiteral("ZR-464   v.1.04"),
                  plnyModul = QStringLiteral("ZR-464DM v.1.04");
    const QStringList knihovny = TextyKnihoven();

    struct TRadek {
        QWidget* okno;
        const char* prvek;
        QString text;
    };
    std::vector<TRadek> radky = {
        {hlavni, "StatusBar1Panel0", " Modul  " + modul},
        {hlavni, "StatusBar1Panel0", " Modul  " + plnyModul},
        {hlavni, "StatusBar1Panel1", " Adresa  255"},
        {hlavni, "StatusBar1Panel2", " Rychlost  115200Bd"},
        {pripojeni, "Panel1", "Připojení úspěšně inicializováno. Připojen modul   " + plnyModul},
        {pripojeni, "Panel1", "Připojení modulu dosud neinicializováno"},
    };
    for (const QString& text : knihovny)
        radky.push_back({pripojeni, "Panel1", "Chyba inicializace připojení - " + text});
    for (QWidget* okno : dialogy)
        for (const char* text : {" Probíhá čtení konfigurace z modulu (100 %)",
                                 " Probíhá zápis konfigurace do modulu (100 %)",
                                 " Připojení k modulu není inicializováno.", " Chyba zápisu dat.",
                                 " Adresa modulu musí být v rozsahu 0-255.",
                                 " Komunikační rychlost musí být v rozsahu 600Bd-115200Bd.",
                                 " Čas musí být v rozsahu 1-65535."})
            radky.push_back({okno, "StatusBar1Panel0", QString::fromUtf8(text)});
    for (QWidget* okno : ziva)
        for (const char* text :
             {" Připojení k modulu není inicializováno.", " Nový čas zapsán", " Data zapsána"})
            radky.push_back({okno, "StatusBar1Panel0", QString::fromUtf8(text)});
    std::vector<QWidget*> sStavovymRadkem = dialogy;
    sStavovymRadkem.insert(sStavovymRadkem.end(), ziva.begin(), ziva.end());
    // A narrow status bar may cut a text's closing detail in parentheses (a
    // device path), never what comes before it.
    for (QWidget* okno : sStavovymRadkem)
        for (const QString& text : knihovny)
            radky.push_back(
                {okno, "StatusBar1Panel0",
                 " " + (text.endsWith(')') ? text.left(text.lastIndexOf(" (")) : text)});

    for (const TRadek& r : radky)
        if (auto* prvek = Prvek<QWidget>(r.okno, r.prvek)) OcekavejVejdeSe(r.okno, prvek, r.text);

    // The design texts of every label, button and list.
    for (const auto& okno : okna)
        for (QWidget* prvek : okno->findChildren<QWidget*>())
            if (prvek->isVisibleTo(okno.get()))
                for (const QString& text : TextyPrvku(prvek))
                    OcekavejVejdeSe(okno.get(), prvek, text);
}

} // namespace
