#include "Sbernice.h"

#include "Cli.h"
#include "Xxxx683.h"

#include <algorithm>
#include <sstream>

namespace {

zrsim::SimulatorConfig Konfigurace(const std::vector<TSimulovanyModul>& moduly, bool propojeni) {
    zrsim::SimulatorConfig c;
    c.loopback = propojeni;
    c.modules.clear();
    for (const TSimulovanyModul& m : moduly) {
        zrsim::ModuleSetup s;
        s.address = m.Adresa;
        s.baudIndex = RychlostNaIndex(m.Rychlost);
        s.identity.version = m.Verze;
        s.identity.extra = m.Doplnek;
        s.identity.name = m.Nazev;
        c.modules.push_back(s);
    }
    return c;
}

} // namespace

TSbernice::TSbernice(const std::vector<TSimulovanyModul>& moduly, bool propojeni, bool casLinky)
    : Sim(Konfigurace(moduly, propojeni)),
      Udp(Sim, {"127.0.0.1", 0, zrsim::kMaxHeldAnswers, casLinky}) {
    std::string chyba;
    Udp.start(chyba);
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    PozadavekPreruseni().store(false);
}

TSbernice::~TSbernice() {
    NastavPozorovatelePrikazu(nullptr);
    NastavAdresarKnihoven(QString());
    Udp.stop();
}

std::vector<std::string> TSbernice::Pripojeni() const {
    return {
        "-i", "lan", "--ip", "127.0.0.1", "--udp-port", std::to_string(Udp.port()), "--udp-timeout",
        "20"};
}

TBeh TSbernice::Spust(std::vector<std::string> argumenty) const {
    const auto p = Pripojeni();
    argumenty.insert(argumenty.end(), p.begin(), p.end());
    std::ostringstream out, err;
    TProstredi prostredi;
    // No settings file: the defaults, overlaid by the options.
    prostredi.Nastaveni = Adresar.filePath(QStringLiteral("W_zr464.ini"));
    TBeh beh;
    beh.Kod = SpustCli(argumenty, out, err, prostredi);
    beh.Out = out.str();
    beh.Err = err.str();
    return beh;
}

std::string TSbernice::Cesta(const std::string& nazev) const {
    return Adresar.filePath(QString::fromStdString(nazev)).toStdString();
}
