#include "Hlavni.h"

#include "CasovacWD.h"
#include "NastavAdr.h"
#include "NastavDIO.h"
#include "Nastroje.h"
#include "OkamDIN.h"
#include "OkamDOUT.h"
#include "Ovladace.h"
#include "Pripojeni.h"
#include "StatReg.h"
#include "TestWD.h"
#include "Umisteni.h"
#include "Xxxx683.h"
#include "zr464_build.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimerEvent>
#include <QWindow>
#include <new>

namespace {

constexpr std::array<TPanelNavrh, 4> PanelyNavrh = {
    {{140, " Modul"}, {80, " Adresa"}, {120, " Rychlost"}, {50, ""}}};
constexpr int PanelChyby = 3;
constexpr int OknoSirka = 600, OknoVyska = 400; // outer size, frame included
// How often and how long a new window's frame is looked at: 20 ms, 5 s.
constexpr int IntervalKontrolyRamecku = 20, PocetKontrolRamecku = 250;

QAction* PolozkaMenu(QWidget* menu, const char* jmeno, const QString& text, bool povolena) {
    auto* akce = new QAction(text, menu);
    akce->setObjectName(QLatin1String(jmeno));
    akce->setEnabled(povolena);
    menu->addAction(akce);
    return akce;
}

} // namespace

TForm1::TForm1(QWidget* parent, QString cestaNastaveni, TVytvoreniDat vytvorData)
    : QMainWindow(parent),
      Cesta(cestaNastaveni.isEmpty() ? ::CestaNastaveni() : std::move(cestaNastaveni)),
      VytvorData(std::move(vytvorData)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral(" ZR-464 (v." ZR464_VERSION ") -  nastavení modulu"));
    VytvorMenu();
    VytvorStavovyRadek();
    resize(OknoSirka, OknoVyska);
    // Every transaction of every window passes the observer.
    NastavPozorovatelePrikazu([this](const TZaznamPrikazu& z) {
        const auto kdy = std::chrono::system_clock::now();
        StatistikaSpojeni.Zaznamenej(z, kdy, PocetOtevrenychSpojeni());
        ZaznamKomunikace.Zaznamenej(z, kdy);
    });
    FormCreate();
}

TForm1::~TForm1() {
    ZavriNemodalni();
    NastavPozorovatelePrikazu(nullptr);
}

void TForm1::VytvorMenu() {
    QMenuBar* lista = menuBar();
    Pipojen1 = PolozkaMenu(lista, "Pipojen1", QStringLiteral("&Připojení"), true);
    Nastaven1 = lista->addMenu(QStringLiteral("&Nastavení"));
    Nastaven1->setObjectName(QStringLiteral("Nastaven1"));
    AdresaRychlost1 =
        PolozkaMenu(Nastaven1, "AdresaRychlost1", QStringLiteral("Adresa, rychlost"), true);
    NastavDIO1 =
        PolozkaMenu(Nastaven1, "NastavDIO1", QStringLiteral("Digitální vstupy/výstupy"), true);
    Kalibracevstup1 =
        PolozkaMenu(Nastaven1, "Kalibracevstup1", QStringLiteral("Časovač watchdog"), true);
    Okamithodnoty1 = lista->addMenu(QStringLiteral("&Okamžité hodnoty"));
    Okamithodnoty1->setObjectName(QStringLiteral("Okamithodnoty1"));
    OkamAIN2 = PolozkaMenu(Okamithodnoty1, "OkamAIN2", QStringLiteral("Test watchdog"), true);
    OkamDIN2 = PolozkaMenu(Okamithodnoty1, "OkamDIN2", QStringLiteral("Digitální vstupy"), true);
    OkamDOUT1 = PolozkaMenu(Okamithodnoty1, "OkamDOUT1", QStringLiteral("Digitální výstupy"), true);
    Statusregistr1 =
        PolozkaMenu(Okamithodnoty1, "Statusregistr1", QStringLiteral("Status registr"), true);
    Nastroje1 = lista->addMenu(QStringLiteral("Ná&stroje"));
    Nastroje1->setObjectName(QStringLiteral("Nastroje1"));
    for (const TNastroj& nastroj : Nastroje()) {
        QAction* akce =
            PolozkaMenu(Nastroje1, nastroj.Jmeno, QString::fromUtf8(nastroj.Text), true);
        connect(akce, &QAction::triggered, this, [this, &nastroj] { OtevriNastroj(nastroj); });
    }
    Konec2 = PolozkaMenu(lista, "Konec2", QStringLiteral("&Konec"), true);
    connect(Pipojen1, &QAction::triggered, this, &TForm1::Pipojen1Click);
    connect(Konec2, &QAction::triggered, this, &TForm1::Konec2Click);
    connect(AdresaRychlost1, &QAction::triggered, this, &TForm1::AdresaRychlost1Click);
    connect(NastavDIO1, &QAction::triggered, this, &TForm1::NastavDIO1Click);
    connect(Kalibracevstup1, &QAction::triggered, this, &TForm1::Kalibracevstup1Click);
    connect(OkamDIN2, &QAction::triggered, this, &TForm1::OkamDIN2Click);
    connect(OkamDOUT1, &QAction::triggered, this, &TForm1::OkamDOUT1Click);
    connect(Statusregistr1, &QAction::triggered, this, &TForm1::Statusregistr1Click);
    connect(OkamAIN2, &QAction::triggered, this, &TForm1::OkamAIN2Click);
}

void TForm1::VytvorStavovyRadek() {
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    const std::vector<QLabel*> panely = VytvorPanely(StatusBar1, PanelyNavrh);
    std::copy(panely.begin(), panely.end(), Panely.begin());
    for (QLabel* panel : Panely)
        NastavTextPanelu(panel, panel->text());
}

QLabel* TForm1::Panel(int index) const {
    return index >= 0 && index < static_cast<int>(Panely.size())
               ? Panely[static_cast<std::size_t>(index)]
               : nullptr;
}

void TForm1::FormCreate() {
    try {
        Zaznam = VytvorData ? VytvorData() : std::make_unique<TData>();
    } catch (const std::bad_alloc&) {
        Zaznam.reset();
    }
    if (!Zaznam) {
        NastavTextPanelu(Panely[PanelChyby],
                         QStringLiteral(" ") + ZpravaProgramu(ZpravaNelzeVytvorit));
        return;
    }
    VychoziData(Zaznam.get());
    NactiNastaveni(Zaznam.get(), Cesta);
}

void TForm1::Pipojen1Click() {
    if (!Zaznam) return;
    OtevriDialog<TForm2>();
    ObnovPanely();
}

void TForm1::AdresaRychlost1Click() {
    OtevriDialog<TForm12>();
}

void TForm1::NastavDIO1Click() {
    OtevriDialog<TForm14>();
}

void TForm1::Kalibracevstup1Click() {
    OtevriDialog<TForm4>();
}

void TForm1::OkamDIN2Click() {
    OtevriDialog<TForm11>();
}

void TForm1::OkamDOUT1Click() {
    OtevriDialog<TForm9>();
}

void TForm1::Statusregistr1Click() {
    OtevriDialog<TForm15>();
}

void TForm1::OkamAIN2Click() {
    OtevriDialog<TForm3>();
}

void TForm1::OtevriNastroj(const TNastroj& nastroj) {
    if (!Zaznam) return;
    if (nastroj.Nemodalni) {
        OtevriNemodalni(nastroj);
        return;
    }
    const TKontextNastroju kontext{*Zaznam, StatistikaSpojeni, ZaznamKomunikace, HistoriePrikazu,
                                   PosledniSken};
    std::unique_ptr<QDialog> dialog(nastroj.Vytvor(kontext, this));
    dialog->exec();
    // A tool may make another module the program's (the bus scan's
    // "Použít"); the panels then show it as after "Připojení".
    if (PripojeniPouzitelne(Zaznam.get())) ObnovPanely();
}

// One instance, raised when opened again; it stays open beside the main
// window and the modal windows, and goes when it is closed.
void TForm1::OtevriNemodalni(const TNastroj& nastroj) {
    QPointer<QDialog>& okno = NemodalniOkna[QLatin1String(nastroj.Jmeno)];
    if (okno.isNull()) {
        const TKontextNastroju kontext{*Zaznam, StatistikaSpojeni, ZaznamKomunikace,
                                       HistoriePrikazu, PosledniSken};
        okno = nastroj.Vytvor(kontext, this);
        okno->setAttribute(Qt::WA_DeleteOnClose);
        okno->setModal(false);
    }
    okno->show();
    okno->raise();
    okno->activateWindow();
}

// They hold the record and the log, which go before the window's children.
void TForm1::ZavriNemodalni() {
    for (const QPointer<QDialog>& okno : std::as_const(NemodalniOkna))
        delete okno.data();
    NemodalniOkna.clear();
}

void TForm1::ObnovPanely() {
    NastavTextPanelu(Panely[0], QStringLiteral(" Modul  ") + Zaznam->Modul);
    NastavTextPanelu(Panely[1], QStringLiteral(" Adresa  ") + QString::number(Zaznam->Adresa));
    NastavTextPanelu(Panely[2], QStringLiteral(" Rychlost  ") + QString::number(Zaznam->Rychlost) +
                                    QStringLiteral("Bd"));
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (OpravenoNaRamecek || event->spontaneous()) return;
    NastavVnejsiRozmer();
    // A window manager frames the window some time after it is mapped, and
    // may report a half-built frame before the final one; the toolkit tells
    // of no change of the frame. So the frame is looked at for a while after
    // the first show, and every change of it is corrected for.
    ZbyvaKontrolRamecku = PocetKontrolRamecku;
    KontrolaRamecku.start(IntervalKontrolyRamecku, this);
}

void TForm1::timerEvent(QTimerEvent* event) {
    if (event->timerId() != KontrolaRamecku.timerId()) {
        QMainWindow::timerEvent(event);
        return;
    }
    NastavVnejsiRozmer();
    if (--ZbyvaKontrolRamecku <= 0) KontrolaRamecku.stop();
}

// The outer size, frame included, centred on the screen, for the frame the
// window has now. Only a change of the frame moves the window, so where the
// operator puts it, it stays; a maximised or minimised window is left alone.
void TForm1::NastavVnejsiRozmer() {
    const QWindow* okno = windowHandle();
    if (windowState() != Qt::WindowNoState) return;
    const QMargins ramecek = okno != nullptr ? okno->frameMargins() : QMargins();
    // A frame still being built can come out with negative margins.
    if (ramecek.left() < 0 || ramecek.top() < 0 || ramecek.right() < 0 || ramecek.bottom() < 0)
        return;
    if (OpravenoNaRamecek == ramecek) return;
    OpravenoNaRamecek = ramecek;
    const QScreen* obrazovka = screen();
    const QPoint vnejsiRoh = obrazovka != nullptr ? obrazovka->availableGeometry().center() -
                                                        QPoint(OknoSirka / 2, OknoVyska / 2)
                                                  : frameGeometry().topLeft();
    // The window itself, without the frame.
    setGeometry(QRect(vnejsiRoh + QPoint(ramecek.left(), ramecek.top()),
                      QSize(OknoSirka, OknoVyska).shrunkBy(ramecek)));
}

void TForm1::Konec2Click() {
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

// Saves the settings, shuts a usable connection down and releases the record.
// A settings file that cannot be written is reported, and closing goes on.
void TForm1::FormClose() {
    ZavriNemodalni();
    if (!Zaznam) return;
    QString chyba;
    if (!UlozNastaveni(Zaznam.get(), Cesta, &chyba)) {
        // The data layer's text names the file and the reason.
        if (chyba.isEmpty())
            chyba = QStringLiteral("Nelze uložit nastavení do souboru %1").arg(Cesta);
        ZpravaOperatorovi(chyba);
    }
    if (PripojeniPouzitelne(Zaznam.get())) {
        std::uint32_t spojeni = Zaznam->Spojeni;
        KonecRozhrani(Zaznam->Rozhrani, spojeni);
    }
    Zaznam.reset();
}

void TForm1::ZpravaOperatorovi(const QString& text) {
    if (ZpravaBezOkna) return ZpravaBezOkna(text);
    QMessageBox::warning(this, windowTitle(), text);
}
