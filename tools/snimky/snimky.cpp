// Renders every window of the program into PNG files, each in a state that
// shows what it is for, with the toolkit's own rendering (QWidget::grab) on
// the offscreen platform: no screen is needed and every picture has the
// window's own size. The module is the simulator, run in this process
// behind its LAN converter on a free loopback port, reached through the
// build's real LAN library; the windows are opened through the main
// window's menu, as the operator opens them.
//
//   zr464-snimky DIRECTORY     (tools/snimky.sh runs it)
//
// Exit code 0 when every window reached its state and was written.
#include "BehovyAdresar.h"
#include "Control.h"
#include "DiagnostikaSpojeni.h"
#include "Hlavni.h"
#include "OknoKomunikace.h"
#include "OknoNastroje.h"
#include "OknoZkousky.h"
#include "PanelModulu.h"
#include "Pismo.h"
#include "PrehledModulu.h"
#include "PrekladQt.h"
#include "PrubehVstupu.h"
#include "Simulator.h"
#include "UdpEndpoint.h"
#include "Xxxx683.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// The LAN converter's UDP port that ./run and the program's defaults use.
constexpr std::uint16_t ObvyklyPort = 5000;
// How long a window may take to reach its state (a few polls).
constexpr int CekaniMs = 5000;
// The simulated module's input pins, in a pattern so that the pictures show
// both values.
constexpr std::uint32_t VzorVstupu = 0x0F0C3A51;

// Lets the event loop run (timers, polls) until the condition holds.
bool Pockej(const std::function<bool()>& podminka) {
    QElapsedTimer hodiny;
    hodiny.start();
    while (!podminka()) {
        if (hodiny.elapsed() > CekaniMs) return false;
        QEventLoop smycka;
        QTimer::singleShot(10, &smycka, &QEventLoop::quit);
        smycka.exec();
    }
    return true;
}

QString Text(const QWidget* okno, const char* jmeno) {
    const auto* popisek = okno->findChild<QLabel*>(QLatin1String(jmeno));
    return popisek != nullptr ? popisek->text() : QString();
}

void Klikni(const QWidget* okno, const char* jmeno) {
    if (auto* tlacitko = okno->findChild<QPushButton*>(QLatin1String(jmeno))) tlacitko->click();
}

// What is done in a window before it is taken; false when it did not reach
// the state it is shown in.
using TPriprava = bool (*)(QWidget* okno);

bool Pripoj(QWidget* okno) {
    Klikni(okno, "Button1"); // "Inicializace připojení"
    return Text(okno, "Panel1").startsWith(QStringLiteral("Připojení úspěšně inicializováno"));
}

// A COM port whose device does not exist: COM 200 is /dev/ttyS199, which no
// machine has.
bool PripojChybnyCOM(QWidget* okno) {
    auto* rozhrani = okno->findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    auto* port = okno->findChild<QLineEdit*>(QStringLiteral("Edit2"));
    if (rozhrani == nullptr || port == nullptr) return false;
    rozhrani->setCurrentIndex(0);
    port->setText(QStringLiteral("200"));
    Klikni(okno, "Button1");
    return Text(okno, "Panel1")
        .startsWith(QStringLiteral("Chyba inicializace připojení - port COM200 nelze otevřít: "));
}

bool Precti(QWidget* okno) {
    Klikni(okno, "Button2"); // "Přečíst"
    return Text(okno, "StatusBar1Panel0") == QStringLiteral(" Konfigurace přečtena.");
}

// A live window after its polls came back from the module.
bool Sleduj(QWidget* okno) {
    const QString bezChyby = QStringLiteral(" ") + TextKodu(4, 0);
    return Pockej([&] { return Text(okno, "StatusBar1Panel0") == bezChyby; });
}

bool ZapisVystupy(QWidget* okno) {
    for (int k : {1, 2, 5, 9, 17, 18, 25, 32})
        if (auto* box = okno->findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(k)))
            box->setChecked(true);
    Klikni(okno, "Button1"); // "Zapsat"
    return Text(okno, "StatusBar1Panel0") == QStringLiteral(" Data zapsána");
}

bool ZapisCas(QWidget* okno) {
    Klikni(okno, "Button1"); // "Zápis času 10s"
    return Sleduj(okno);
}

// The simulated module, for the windows that show its inputs moving and
// its answers failing.
zrsim::Simulator*& Modul() {
    static zrsim::Simulator* modul = nullptr;
    return modul;
}

// Where the commissioning test's report is saved: beside the pictures.
QString& SouborProtokolu() {
    static QString cesta;
    return cesta;
}

// The configuration file the Nástroje windows save to and read from.
QString& SouborKonfigurace() {
    static QString cesta;
    return cesta;
}

// Runs a Nástroje window's first button with its file dialog answered by
// `cesta`; whether the status text then begins with `ocekavano`.
bool SpustSouborem(QWidget* okno, const QString& cesta, const QString& ocekavano) {
    auto* nastroj = dynamic_cast<TOknoNastroje*>(okno);
    if (nastroj == nullptr) return false;
    nastroj->VolbaSouboru = [cesta](QWidget*, bool) { return cesta; };
    Klikni(okno, "Button1");
    return Text(okno, "StatusBar1Panel0").startsWith(ocekavano);
}

// Addresses 0-15 at the connection's rate: the simulated module at 1.
bool Hledej(QWidget* okno) {
    if (auto* po = okno->findChild<QLineEdit*>(QStringLiteral("Edit2")))
        po->setText(QStringLiteral("15"));
    Klikni(okno, "Button1"); // "Hledat"
    return Text(okno, "StatusBar1Panel0") == QStringLiteral(" Nalezeno modulů: 1 (sond 16 z 16)");
}

bool UlozKonfiguraci(QWidget* okno) {
    return SpustSouborem(okno, SouborKonfigurace(), QStringLiteral(" Konfigurace uložena"));
}

bool Porovnej(QWidget* okno) {
    return SpustSouborem(okno, SouborKonfigurace(), QStringLiteral(" Bez rozdílů."));
}

// A copy of the saved file with two values changed, as loading shows it
// before "Zapsat do modulu".
bool Nahraj(QWidget* okno) {
    QFile ulozeny(SouborKonfigurace());
    if (!ulozeny.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = ulozeny.readAll()
                                .replace("doba_vypnuti_rele = 10", "doba_vypnuti_rele = 20")
                                .replace("negace_din = 0xFFFFFFFF", "negace_din = 0x0000FFFF");
    const QString jiny = SouborKonfigurace().chopped(4) + QStringLiteral("-upraveny.cfm");
    QFile kopie(jiny);
    if (!kopie.open(QIODevice::WriteOnly) || kopie.write(text) != text.size()) return false;
    kopie.close();
    return SpustSouborem(okno, jiny, QStringLiteral(" Počet rozdílů: 2."));
}

// The folder of the bus backup pictures, beside the saved .cfm file.
QString SlozkaZalohy() {
    return QFileInfo(SouborKonfigurace()).dir().filePath(QStringLiteral("sbernice"));
}

bool ZalohujSbernici(QWidget* okno) {
    return QDir().mkpath(SlozkaZalohy()) &&
           SpustSouborem(okno, SlozkaZalohy(), QStringLiteral(" Uloženo modulů: 1 z 1"));
}

// The backup compared after the module's relay time was changed on the bus;
// the simulator's fault is removed again for the pictures after it.
bool PorovnejSbernici(QWidget* okno) {
    zrsim::Control ovladani(*Modul());
    bool konec = false;
    ovladani.execute("fault register 3 20", konec);
    const bool hotovo = SpustSouborem(okno, SlozkaZalohy(), QStringLiteral(" Moduly: s rozdíly 1"));
    ovladani.execute("fault clear", konec);
    return hotovo;
}

// Moves the mouse over the traces at the record time `casMs`.
void MysNa(const TPrubehVstupu& prubeh, std::int64_t casMs) {
    const double zpet = static_cast<double>(prubeh.Graf1->PravyOkraj() - casMs) *
                        TGrafVstupu::SirkaStopy / TGrafVstupu::OknoMs;
    const QPointF mys(TGrafVstupu::SirkaJmen + TGrafVstupu::SirkaStopy - 1 - zpet, 100);
    QMouseEvent pohyb(QEvent::MouseMove, mys, prubeh.Graf1->mapToGlobal(mys), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(prubeh.Graf1, &pohyb);
}

// Polled every 50 ms for about 24 seconds (most of the minute the window
// shows is then filled) while the five lowest inputs count every 500 ms
// (DIN0 toggling fastest), with one answer lost (a time-out) and one
// damaged, so that the traces show two gaps; then the mouse over an early
// poll, for the cursor and its values.
bool Zaznamenej(QWidget* okno) {
    auto* prubeh = dynamic_cast<TPrubehVstupu*>(okno);
    zrsim::Simulator* modul = Modul();
    if (prubeh == nullptr || modul == nullptr) return false;
    const auto dotazu = [prubeh] { return prubeh->Zaznam().Dotazu(); };
    prubeh->ComboBox1->setCurrentIndex(0); // 50 ms
    std::uint32_t krok = 0;
    QTimer pocitadlo;
    QObject::connect(&pocitadlo, &QTimer::timeout,
                     [&] { modul->setInputPins(0, VzorVstupu ^ (++krok & 0x1F)); });
    pocitadlo.start(500);
    bool hotovo = true;
    // In steps of two seconds, each well within one wait's limit.
    for (std::uint64_t cil = 40; cil <= 480 && hotovo; cil += 40) {
        if (cil == 240) modul->addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 1});
        if (cil == 400) modul->addFault(zrsim::LineFaultRule{zrsim::LineFault::Corrupt, 1});
        hotovo = Pockej([&] { return dotazu() >= cil; });
    }
    hotovo = hotovo && Sleduj(okno);
    pocitadlo.stop();
    modul->clearFaults();
    modul->setInputPins(0, VzorVstupu);
    hotovo = hotovo && prubeh->Zaznam().Vypadku() == 2;
    if (hotovo) MysNa(*prubeh, prubeh->Zaznam()[100].CasMs + 25);
    return hotovo;
}

// The counts of every transaction so far: the scan's time-outs and the two
// failed polls above among them.
bool Diagnostikuj(QWidget* okno) {
    const auto* diagnostika = dynamic_cast<TDiagnostikaSpojeni*>(okno);
    return diagnostika != nullptr && diagnostika->Tabulka1->rowCount() >= 2;
}

// The module's name characters, then the inputs read eight times with the
// first answer lost, for the summary of the repeat.
bool PosliPrikaz(QWidget* okno) {
    Klikni(okno, "Button1"); // "Odeslat": 200/0 as the window opens
    const auto pole = [okno](const char* jmeno, const char* text) {
        if (auto* p = okno->findChild<QLineEdit*>(QLatin1String(jmeno)))
            p->setText(QLatin1String(text));
    };
    pole("Edit2", "0");
    pole("Edit3", "64");
    pole("Edit9", "8");
    pole("Edit10", "0");
    if (Modul() != nullptr) Modul()->addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 1});
    Klikni(okno, "Button4"); // "Opakovat"
    return Text(okno, "StatusBar1Panel0").startsWith(QStringLiteral(" Opakování dokončeno: "));
}

// The module panel after its first polls, with three outputs switched on.
bool UkazPanel(QWidget* okno) {
    const auto* panel = dynamic_cast<TPanelModulu*>(okno);
    if (panel == nullptr || !Pockej([&] {
            return !panel->Label2->text().isEmpty() && !panel->Label3->text().isEmpty();
        }))
        return false;
    for (int n : {0, 4, 9})
        panel->Vystupy[static_cast<std::size_t>(n)]->click();
    return Text(okno, "Label4") == QStringLiteral("naposledy zapsáno 0x00000211");
}

// The overview of the module the scan found and two more added by hand, one
// of which stops answering.
bool UkazPrehled(QWidget* okno) {
    auto* prehled = dynamic_cast<TPrehledModulu*>(okno);
    if (prehled == nullptr || Modul() == nullptr) return false;
    Klikni(okno, "Button2"); // "Z posledního hledání"
    for (const auto& [adresa, rychlost] : {std::pair{20, 4}, {30, 5}}) {
        prehled->Edit1->setText(QString::number(adresa));
        prehled->ComboBox1->setCurrentIndex(rychlost);
        Klikni(okno, "Button1"); // "Přidat"
    }
    const auto radky = [prehled]() -> const std::vector<TRadekPrehledu>& {
        return prehled->Prehled()->Radky();
    };
    const bool vsechny = Pockej([&] {
        const std::vector<TRadekPrehledu>& r = radky();
        return r.size() == 3 &&
               std::all_of(r.begin(), r.end(), [](const TRadekPrehledu& m) { return m.Odpovida; });
    });
    Modul()->setSilent(20, true);
    const bool umlkl = vsechny && Pockej([&] { return radky()[1].Mlci; });
    Modul()->setSilent(20, false);
    prehled->StringGrid1->selectRow(0);
    return umlkl;
}

// Every transaction so far, the newest at the bottom.
bool UkazKomunikaci(QWidget* okno) {
    auto* zaznam = dynamic_cast<TOknoKomunikace*>(okno);
    if (zaznam == nullptr) return false;
    zaznam->Obnov();
    QApplication::processEvents(); // the layout takes the new texts
    return zaznam->Model->rowCount() > 20;
}

// The commissioning test through the loopback fixture, which the simulated
// module wears for this picture only; its report goes beside the pictures
// (tools/snimky.sh makes its first page a picture and removes it).
bool Zkousej(QWidget* okno) {
    auto* zkouska = dynamic_cast<TOknoZkousky*>(okno);
    zrsim::Simulator* modul = Modul();
    if (zkouska == nullptr || modul == nullptr) return false;
    zkouska->Edit1->setText(QStringLiteral("Jana Nováková"));
    zkouska->CheckBox1->setChecked(true);
    modul->setLoopback(0, true);
    zkouska->Button1Click(); // "Spustit": returns when the test has ended
    modul->setLoopback(0, false);
    modul->setInputPins(0, VzorVstupu);
    if (!Text(okno, "StatusBar1Panel0").startsWith(QStringLiteral(" Zkouška skončila: prošlo")))
        return false;
    zkouska->VolbaProtokolu = [](QWidget*, bool) { return SouborProtokolu(); };
    zkouska->Button4Click(); // "Uložit protokol…"
    return Text(okno, "StatusBar1Panel0").startsWith(QStringLiteral(" Protokol uložen: "));
}

// One picture: the file, the menu action (its name) that opens the window,
// none for the main window itself, and what is done in it first. They are
// taken in this order: the connection first, a failed one last.
struct TSnimek {
    const char* Soubor;
    const char* Akce;
    TPriprava Priprava;
};

constexpr TSnimek Snimky[] = {
    {"pripojeni.png", "Pipojen1", Pripoj},
    {"hlavni-okno.png", nullptr, nullptr},
    {"adresa-rychlost.png", "AdresaRychlost1", Precti},
    {"digitalni-io.png", "NastavDIO1", Precti},
    {"casovac-watchdog.png", "Kalibracevstup1", Precti},
    {"digitalni-vstupy.png", "OkamDIN2", Sleduj},
    {"digitalni-vystupy.png", "OkamDOUT1", ZapisVystupy},
    {"status-registr.png", "Statusregistr1", Sleduj},
    {"test-watchdog.png", "OkamAIN2", ZapisCas},
    {"hledani-modulu.png", "HledatModuly1", Hledej},
    {"ulozeni-konfigurace.png", "UlozitKonfiguraci1", UlozKonfiguraci},
    {"porovnani-konfigurace.png", "PorovnatKonfiguraci1", Porovnej},
    {"nahrani-konfigurace.png", "NahratKonfiguraci1", Nahraj},
    {"zaloha-sbernice.png", "ZalohovatSbernici1", ZalohujSbernici},
    {"porovnani-sbernice.png", "PorovnatSbernici1", PorovnejSbernici},
    {"prubeh-vstupu.png", "PrubehVstupu1", Zaznamenej},
    {"diagnostika-spojeni.png", "DiagnostikaSpojeni1", Diagnostikuj},
    {"prikaz-modulu.png", "PrikazModulu1", PosliPrikaz},
    {"zaznam-komunikace.png", "ZaznamKomunikace1", UkazKomunikaci},
    {"zkouska-modulu.png", "ZkouskaModulu1", Zkousej},
    {"panel-modulu.png", "PanelModulu1", UkazPanel},
    {"prehled-sbernice.png", "PrehledSbernice1", UkazPrehled},
    {"pripojeni-chyba.png", "Pipojen1", PripojChybnyCOM},
};

bool Uloz(QWidget* okno, const QString& cesta) {
    if (okno->grab().save(cesta, "PNG")) return true;
    std::fprintf(stderr, "zr464-snimky: %s cannot be written\n", qPrintable(cesta));
    return false;
}

// A window the action left open beside the main window (the traffic log).
bool VyfotNemodalni(TForm1& hlavni, const TSnimek& s, const QString& cesta) {
    for (QDialog* okno : hlavni.findChildren<QDialog*>()) {
        if (!okno->isVisible() || okno->isModal()) continue;
        const bool hotovo = (s.Priprava == nullptr || s.Priprava(okno)) && Uloz(okno, cesta);
        if (!hotovo) std::fprintf(stderr, "zr464-snimky: %s did not reach its state\n", s.Soubor);
        okno->close();
        return hotovo;
    }
    std::fprintf(stderr, "zr464-snimky: %s opened no window\n", s.Akce);
    return false;
}

// Opens the window through its menu action, prepares it from inside its
// modal loop, takes it and closes it.
bool Vyfot(TForm1& hlavni, const TSnimek& s, const QString& cesta) {
    if (s.Akce == nullptr) return Uloz(&hlavni, cesta);
    auto* akce = hlavni.findChild<QAction*>(QLatin1String(s.Akce));
    if (akce == nullptr) {
        std::fprintf(stderr, "zr464-snimky: the main window has no action %s\n", s.Akce);
        return false;
    }
    // Looks for the window as soon as its modal loop runs. The timer dies
    // with this call, also when the action opened no modal window.
    bool hotovo = false, otevreno = false;
    QTimer hledani;
    hledani.setInterval(10);
    QObject::connect(&hledani, &QTimer::timeout, [&] {
        QWidget* okno = QApplication::activeModalWidget();
        if (okno == nullptr) return;
        hledani.stop();
        otevreno = true;
        const bool pripraveno = s.Priprava == nullptr || s.Priprava(okno);
        if (!pripraveno)
            std::fprintf(stderr, "zr464-snimky: %s did not reach its state: \"%s\"\n", s.Soubor,
                         qPrintable(Text(okno, "StatusBar1Panel0") + Text(okno, "Panel1")));
        hotovo = pripraveno && Uloz(okno, cesta);
        okno->close();
    });
    hledani.start();
    akce->trigger();
    if (!otevreno) return VyfotNemodalni(hlavni, s, cesta);
    return hotovo;
}

// The settings of the simulated module's LAN converter, as ./run presets them.
bool ZapisNastaveni(const QString& cesta, std::uint16_t port) {
    QFile f(cesta);
    const QByteArray obsah =
        "[P\xF8ipojen\xED]\r\nRozhran\xED=ZR-1683\r\nAdresa=1\r\nRychlost=9600\r\n"
        "[ZR-1683]\r\nIP adresa=127.0.0.1\r\nUDP port=" +
        QByteArray::number(port) +
        "\r\nUDP timeout=100\r\n[P\xF8"
        "ehled sb\xEC"
        "rnice]\r\nModuly=1:9600\r\n";
    return f.open(QIODevice::WriteOnly) && f.write(obsah) == obsah.size();
}

// The simulator's LAN converter on the program's usual port where it is
// free, so that the pictures show that port; else on any free one.
std::unique_ptr<zrsim::UdpEndpoint> SpustLan(zrsim::Simulator& simulator, std::string& chyba) {
    for (const std::uint16_t port : {ObvyklyPort, std::uint16_t{0}}) {
        auto lan = std::make_unique<zrsim::UdpEndpoint>(
            simulator, zrsim::UdpEndpointConfig{"127.0.0.1", port});
        if (lan->start(chyba)) return lan;
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    // Offscreen unless told otherwise (e.g. xcb, to compare with an X server).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    PripravBehovyAdresar(QDir::tempPath());
    QApplication aplikace(argc, argv);
    NastavPismoProgramu();
    NactiPrekladQt(aplikace);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zr464-snimky DIRECTORY [PICTURE...]\n");
        return 2;
    }
    // Named pictures only (the connection first, as the others need it).
    QStringList vybrane;
    for (int i = 2; i < argc; ++i)
        vybrane << QString::fromLocal8Bit(argv[i]);
    const QDir cil(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(cil.path())) return 1;

    // The module of the connection, and two more beyond the scan's addresses
    // for the bus overview.
    zrsim::SimulatorConfig bus;
    bus.modules.resize(3);
    bus.modules[1].address = 20;
    bus.modules[1].identity.extra = "SIM-0020";
    bus.modules[2].address = 30;
    bus.modules[2].baudIndex = 5;
    bus.modules[2].identity.extra = "SIM-0030";
    zrsim::Simulator simulator{bus};
    simulator.setInputPins(0, VzorVstupu);
    Modul() = &simulator;
    std::string chyba;
    const auto lan = SpustLan(simulator, chyba);
    QTemporaryDir nastaveni;
    const QString ini = nastaveni.filePath(QStringLiteral("W_zr464.ini"));
    if (!lan || !nastaveni.isValid() || !ZapisNastaveni(ini, lan->port())) {
        std::fprintf(stderr, "zr464-snimky: no simulator or settings: %s\n", chyba.c_str());
        return 1;
    }

    SouborKonfigurace() = nastaveni.filePath(QStringLiteral("modul.cfm"));
    SouborProtokolu() = cil.filePath(QStringLiteral("zkouska-protokol.pdf"));

    TForm1 hlavni(nullptr, ini);
    hlavni.show();
    int chyby = 0, celkem = 0;
    for (const TSnimek& s : Snimky) {
        const QString soubor = QString::fromLatin1(s.Soubor);
        if (!vybrane.isEmpty() && !vybrane.contains(soubor)) continue;
        ++celkem;
        if (!Vyfot(hlavni, s, cil.filePath(soubor))) ++chyby;
    }
    hlavni.close();
    lan->stop();
    std::printf("zr464-snimky: %d of %d windows in %s\n", celkem - chyby, celkem,
                qPrintable(cil.path()));
    return chyby == 0 ? 0 : 1;
}
