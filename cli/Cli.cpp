// The command line: subcommands and options (CLI11), then the subcommand.
#include "Cli.h"

#include "Cfm.h"
#include "Napoveda.h"
#include "Prevod.h"
#include "PrikazyCli.h"
#include "zr464_build.h"

#include <CLI/CLI.hpp>

#include <QFile>
#include <algorithm>
#include <sstream>

namespace {

constexpr int NejvicePolozek = 1024; // a longer list is surely a mistake

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// "1,2,5-9": numbers and ranges from `min` to `max`, in the order given,
// each once.
std::vector<int> Seznam(const std::string& text, int min, int max, const std::string& volba) {
    std::vector<int> cisla;
    auto chyba = [&](const QString& co) {
        throw CLI::ValidationError(
            volba, (QStringLiteral("chybný seznam „%1“: ").arg(Q(text)) + co).toStdString());
    };
    if (Q(text).trimmed().isEmpty()) chyba(QStringLiteral("seznam je prázdný"));
    for (const QString& cast : Q(text).split(u',')) {
        const QStringList meze = cast.trimmed().split(u'-');
        const auto od = meze.size() <= 2 ? CisloBezZnamenka(meze[0].trimmed()) : std::nullopt;
        const auto po = meze.size() == 2 ? CisloBezZnamenka(meze[1].trimmed()) : od;
        if (!od || !po || *od > *po) chyba(QStringLiteral("„%1“ není číslo ani rozsah").arg(cast));
        if (*od < static_cast<std::uint32_t>(min) || *po > static_cast<std::uint32_t>(max))
            chyba(QStringLiteral("„%1“ je mimo rozsah %2-%3").arg(cast).arg(min).arg(max));
        for (std::uint32_t i = *od; i <= *po; ++i)
            if (std::find(cisla.begin(), cisla.end(), static_cast<int>(i)) == cisla.end())
                cisla.push_back(static_cast<int>(i));
        if (cisla.size() > NejvicePolozek) chyba(QStringLiteral("příliš mnoho položek"));
    }
    return cisla;
}

std::int32_t Rychlost(const std::string& text, const std::string& volba) {
    const auto v = CisloBezZnamenka(Q(text));
    if (!v || std::find(RychlostiBd.begin(), RychlostiBd.end(), static_cast<std::int64_t>(*v)) ==
                  RychlostiBd.end())
        throw CLI::ValidationError(volba, "rychlost " + text +
                                              " není jedna z 600, 1200, 2400, 4800, 9600, "
                                              "19200, 38400, 57600, 115200");
    return static_cast<std::int32_t>(*v);
}

std::uint32_t Cislo(const std::string& text, std::uint32_t max, const std::string& volba) {
    const auto v = CisloBezZnamenka(Q(text));
    if (!v || *v > max)
        throw CLI::ValidationError(
            volba,
            (QStringLiteral("„%1“ není číslo v rozsahu 0-%2").arg(Q(text)).arg(max)).toStdString());
    return *v;
}

// The ISA base address as the program writes it (300h), or 0x300, or 768.
std::uint16_t BazovaAdresa(const std::string& text) {
    QString t = Q(text);
    if (t.endsWith(u'h', Qt::CaseInsensitive)) t = QStringLiteral("0x") + t.chopped(1);
    return static_cast<std::uint16_t>(Cislo(t.toStdString(), 0xFFFF, "--isa-base"));
}

struct TVolby {
    TVolbyPripojeni Pripojeni;
    bool Json = false;
    bool Stopa = false;
    bool Statistika = false;
};

const std::vector<std::string> Rozhrani = {"com", "isa", "pci", "usb", "lan"};

// A connection option: its names, its help text and what its value sets.
struct TVolbaPripojeni {
    const char* Jmeno;
    const char* Typ;
    const char* Popis;
    void (*Nastav)(TVolbyPripojeni&, const std::string&);
};

using VP = TVolbyPripojeni;
using S = std::string;

const TVolbaPripojeni VolbyPripojeni[] = {
    {"-i,--interface", "ROZHRANÍ",
     "rozhraní: com, isa, pci, usb, lan (bez volby: ze souboru W_zr464.ini)",
     [](VP& c, const S& s) {
         const auto it = std::find(Rozhrani.begin(), Rozhrani.end(), s);
         if (it == Rozhrani.end())
             throw CLI::ValidationError("--interface",
                                        "rozhraní " + s + " není com, isa, pci, usb ani lan");
         c.Rozhrani = static_cast<std::uint8_t>(it - Rozhrani.begin());
     }},
    {"--com", "N", "číslo portu COMx",
     [](VP& c, const S& s) {
         c.CisloPortu = static_cast<std::uint16_t>(Cislo(s, 0xFFFF, "--com"));
     }},
    {"--isa-base", "ADRESA", "bázová adresa karty KC-683 (300h, 0x300 nebo 768)",
     [](VP& c, const S& s) { c.BazovaAdresa = BazovaAdresa(s); }},
    {"--ip", "IP", "IP adresa konvertoru ZR-1683", [](VP& c, const S& s) { c.IPAdresa = Q(s); }},
    {"--udp-port", "PORT", "UDP port konvertoru ZR-1683",
     [](VP& c, const S& s) {
         c.UDPPort = static_cast<std::int32_t>(Cislo(s, 65535, "--udp-port"));
     }},
    {"--udp-timeout", "MS", "UDP timeout v ms",
     [](VP& c, const S& s) {
         c.UDPTimeout = static_cast<std::int32_t>(Cislo(s, 65535, "--udp-timeout"));
     }},
    {"-a,--address", "N", "adresa modulu 0-255",
     [](VP& c, const S& s) { c.Adresa = static_cast<std::uint8_t>(Cislo(s, 255, "--address")); }},
    {"-b,--baud", "BD", "komunikační rychlost v Bd",
     [](VP& c, const S& s) { c.Rychlost = Rychlost(s, "--baud"); }},
};

// The options every subcommand takes: the connection, --json, --trace and
// --stats.
void SpolecneVolby(CLI::App* p, TVolby& v) {
    for (const TVolbaPripojeni& volba : VolbyPripojeni)
        p->add_option_function<std::string>(
             volba.Jmeno, [&v, &volba](const S& s) { volba.Nastav(v.Pripojeni, s); }, volba.Popis)
            ->type_name(volba.Typ)
            ->group("Připojení");
    p->add_flag("--json", v.Json, "výstup jako JSON (s --watch JSON Lines)")->group("Výstup");
    p->add_flag("--trace", v.Stopa,
                "každý příkaz na standardní chybový výstup (příkaz, data, výsledek, čas)")
        ->group("Výstup");
    p->add_flag("--stats", v.Statistika,
                "na konci souhrn všech příkazů na standardní chybový výstup (počty, chyby podle "
                "kódu, doby odezvy)")
        ->group("Výstup");
}

void VolbyOpakovani(CLI::App* p, TOpakovani& o) {
    CLI::Option* watch = p->add_flag("--watch", o.Zapnuto, "číst opakovaně, do Ctrl-C");
    p->add_option_function<std::string>(
         "--interval",
         [&o](const S& s) { o.Interval = static_cast<int>(Cislo(s, 3600000, "--interval")); },
         "interval opakování v ms (výchozí 1000)")
        ->type_name("MS");
    p->add_option_function<std::string>(
         "--count",
         [&o](const S& s) { o.Pocet = static_cast<int>(Cislo(s, 1000000000, "--count")); },
         "s --watch: počet čtení (0 = bez omezení); bez --watch je chybou")
        ->type_name("N")
        ->needs(watch);
}

// What the parsed command line asks for; filled by the option callbacks.
struct TZadani {
    TVolby Volby;
    TOpakovani Opakovani;
    std::string Soubor, Cile, Adresy, Rychlosti, Zapnout, Maska, Kod, Parametr, Seznam;
    std::vector<std::string> Data;
    bool SAdresou = false;
    bool JinyModul = false;
    bool Vynulovat = false;
    std::optional<std::uint16_t> CasWatchdogu;
    TZadaniZkousky Zkouska;
    TZadaniPrehledu Prehled;
    bool Propojeni = false;
    std::function<int(TKontext&)> Akce;
};

// Whether the option was given at all: an empty value ("") is given too,
// and an error, never the default.
bool Zadana(const CLI::App* p, const std::string& volba) {
    return p->get_option(volba)->count() > 0;
}

CLI::App* Podprikaz(CLI::App& app, TZadani& z, const std::string& nazev, const std::string& popis) {
    CLI::App* p = app.add_subcommand(nazev, popis)->group("Podpříkazy");
    p->set_help_flag("-h,--help", "vypíše nápovědu");
    SpolecneVolby(p, z.Volby);
    return p;
}

void PrikazyConfig(CLI::App& app, TZadani& z) {
    CLI::App* config = app.add_subcommand(
        "config", "konfigurace modulu: zobrazení, soubor .cfm, porovnání, zápis");
    config->group("Podpříkazy")->require_subcommand(1);
    config->set_help_flag("-h,--help", "vypíše nápovědu");
    Podprikaz(*config, z, "show", "vypíše všechny konfigurační registry modulu")
        ->final_callback([&z] { z.Akce = [](TKontext& k) { return VypisKonfiguraci(k); }; });
    auto* save = Podprikaz(*config, z, "save", "uloží konfiguraci modulu do souboru .cfm");
    save->add_option("SOUBOR", z.Soubor, "soubor .cfm")->required()->type_name("");
    save->final_callback(
        [&z] { z.Akce = [&z](TKontext& k) { return UlozKonfiguraci(k, Q(z.Soubor)); }; });
    auto* diff = Podprikaz(*config, z, "diff", "porovná modul se souborem .cfm");
    diff->add_option("SOUBOR", z.Soubor, "soubor .cfm")->required()->type_name("");
    diff->add_flag("--with-address", z.SAdresou, "porovnat i adresu a rychlost modulu");
    diff->final_callback([&z] {
        z.Akce = [&z](TKontext& k) { return RozdilyKonfigurace(k, Q(z.Soubor), z.SAdresou); };
    });
    auto* load =
        Podprikaz(*config, z, "load", "zapíše soubor .cfm do modulu (modulů) se zpětným čtením");
    load->add_option("SOUBOR", z.Soubor, "soubor .cfm")->required()->type_name("");
    load->add_option("--to", z.Cile, "adresy modulů, např. 1,2,5-9 (výchozí: --address)")
        ->type_name("SEZNAM");
    load->add_flag("--with-address", z.SAdresou,
                   "zapsat i adresu a rychlost ze souboru (platí po restartu modulu)");
    load->add_flag("--force", z.JinyModul,
                   "zapsat i do modulu jiného názvu, než z jakého je soubor uložen");
    load->final_callback([&z, load] {
        std::vector<std::uint8_t> cile;
        if (Zadana(load, "--to"))
            for (int a : Seznam(z.Cile, 0, 255, "--to"))
                cile.push_back(static_cast<std::uint8_t>(a));
        if (z.SAdresou && cile.size() > 1)
            throw CLI::ValidationError("--with-address",
                                       "lze použít jen pro jeden modul (všechny by dostaly "
                                       "stejnou adresu)");
        z.Akce = [&z, cile](TKontext& k) {
            return NahrajKonfiguraci(k, Q(z.Soubor), cile, z.SAdresou, z.JinyModul);
        };
    });
}

void PrikazySken(CLI::App& app, TZadani& z) {
    auto* scan = Podprikaz(app, z, "scan", "najde moduly na sběrnici (adresy a rychlosti)");
    scan->add_option("--addresses", z.Adresy, "adresy, např. 0-31,100 (výchozí 0-255)")
        ->type_name("SEZNAM");
    scan->add_option("--rates", z.Rychlosti,
                     "rychlosti v Bd, např. 9600,19200 (výchozí všech devět)")
        ->type_name("SEZNAM");
    scan->final_callback([&z, scan] {
        std::vector<std::uint8_t> adresy;
        for (int a :
             Seznam(Zadana(scan, "--addresses") ? z.Adresy : "0-255", 0, 255, "--addresses"))
            adresy.push_back(static_cast<std::uint8_t>(a));
        std::vector<std::int32_t> rychlosti(RychlostiBd.begin(), RychlostiBd.end());
        if (Zadana(scan, "--rates")) {
            rychlosti.clear();
            if (Q(z.Rychlosti).trimmed().isEmpty())
                throw CLI::ValidationError("--rates", "seznam rychlostí je prázdný");
            for (const QString& r : Q(z.Rychlosti).split(u','))
                rychlosti.push_back(Rychlost(r.trimmed().toStdString(), "--rates"));
        }
        z.Akce = [adresy, rychlosti](TKontext& k) { return HledejModuly(k, adresy, rychlosti); };
    });
}

void PrikazyHodnoty(CLI::App& app, TZadani& z) {
    Podprikaz(app, z, "identify", "název, verze a doplňková identifikace modulu")
        ->final_callback([&z] { z.Akce = [](TKontext& k) { return VypisIdentifikaci(k); }; });
    auto* inputs = Podprikaz(app, z, "inputs", "stav digitálních vstupů DIN0-31");
    VolbyOpakovani(inputs, z.Opakovani);
    inputs->final_callback(
        [&z] { z.Akce = [&z](TKontext& k) { return VypisVstupy(k, z.Opakovani); }; });
    auto* status = Podprikaz(app, z, "status", "status registr modulu");
    status->add_flag("--clear", z.Vynulovat, "status registr vynulovat");
    VolbyOpakovani(status, z.Opakovani);
    status->final_callback(
        [&z] { z.Akce = [&z](TKontext& k) { return VypisStav(k, z.Vynulovat, z.Opakovani); }; });
    auto* wd = Podprikaz(app, z, "watchdog", "zbývající čas watchdogu");
    wd->add_option_function<std::string>(
          "--set",
          [&z](const std::string& s) {
              z.CasWatchdogu = static_cast<std::uint16_t>(Cislo(s, 65535, "--set"));
          },
          "nastavit zbývající čas v sekundách (0-65535)")
        ->type_name("SEKUNDY");
    VolbyOpakovani(wd, z.Opakovani);
    wd->final_callback([&z] {
        z.Akce = [&z](TKontext& k) { return VypisWatchdog(k, z.CasWatchdogu, z.Opakovani); };
    });
    auto* outputs = Podprikaz(app, z, "outputs", "nastaví všech 32 digitálních výstupů najednou");
    outputs->add_option("MASKA", z.Maska, "maska DOUT0-31 (bit 0 = DOUT0), např. 0x0000000F")
        ->type_name("");
    outputs
        ->add_option("--on", z.Zapnout, "seznam zapnutých výstupů, např. 0,3,8-15; ostatní vypnuty")
        ->type_name("SEZNAM");
    outputs->final_callback([&z, outputs] {
        const bool maskou = Zadana(outputs, "MASKA"), seznamem = Zadana(outputs, "--on");
        if (maskou == seznamem)
            throw CLI::ValidationError("outputs", "zadejte buď MASKA, nebo --on");
        std::uint32_t maska = 0;
        if (maskou) maska = Cislo(z.Maska, 0xFFFFFFFFu, "MASKA");
        if (seznamem)
            for (int n : Seznam(z.Zapnout, 0, 31, "--on"))
                maska |= 1u << n;
        z.Akce = [maska](TKontext& k) { return NastavVystupy(k, maska); };
    });
}

void PrikazZkouska(CLI::App& app, TZadani& z) {
    auto* p = Podprikaz(app, z, "commission",
                        "zkouška modulu přes propojení výstupů se vstupy, s protokolem PDF a JSON");
    p->add_flag("--loopback", z.Propojeni,
                "výstup n je propojen se vstupem n (bez propojení jen v okně programu)")
        ->required();
    p->add_option_function<std::string>(
         "--report", [&z](const S& s) { z.Zkouska.Protokol = Q(s); },
         "protokol PDF; JSON se uloží vedle (SOUBOR.json)")
        ->type_name("SOUBOR.pdf")
        ->required();
    p->add_option_function<std::string>(
         "--expect", [&z](const S& s) { z.Zkouska.Ocekavana = Q(s); },
         "očekávaná konfigurace (.cfm), porovná se s modulem")
        ->type_name("SOUBOR.cfm");
    z.Zkouska.Obsluha = qEnvironmentVariable("USER");
    p->add_option_function<std::string>(
         "--operator", [&z](const S& s) { z.Zkouska.Obsluha = Q(s); },
         "jméno obsluhy do protokolu (výchozí: přihlášený uživatel)")
        ->type_name("JMÉNO");
    p->add_option_function<std::string>(
         "--restore",
         [&z](const S& s) { z.Zkouska.ObnovitVystupy = Cislo(s, 0xFFFFFFFFu, "--restore"); },
         "výstupy po zkoušce, maska DOUT0-31 (výchozí 0: vše vypnuto)")
        ->type_name("MASKA");
    p->add_option_function<std::string>(
         "--response",
         [&z](const S& s) {
             z.Zkouska.CasOdezvyMs = static_cast<int>(Cislo(s, 60000, "--response"));
         },
         "do kolika ms musí vstup sledovat výstup (výchozí 200)")
        ->type_name("MS");
    p->final_callback([&z] { z.Akce = [&z](TKontext& k) { return ZkousejModul(k, z.Zkouska); }; });
}

// The command of send's arguments, each byte 0-255.
TRucniPrikaz RucniPrikaz(const TZadani& z) {
    if (z.Data.size() > 5) throw CLI::ValidationError("D1-D5", "nejvýše pět datových bajtů");
    TRucniPrikaz p;
    p.Kod = static_cast<std::uint8_t>(Cislo(z.Kod, 255, "KÓD"));
    p.Parametr = static_cast<std::uint8_t>(Cislo(z.Parametr, 255, "PARAMETR"));
    for (std::size_t i = 0; i < z.Data.size(); ++i)
        p.D[i] = static_cast<std::uint8_t>(Cislo(z.Data[i], 255, "D" + std::to_string(i + 1)));
    return p;
}

void PrikazPosli(CLI::App& app, TZadani& z) {
    auto* send = Podprikaz(app, z, "send",
                           "pošle modulu jeden příkaz (kód, parametr, D1-D5) a vypíše odpověď");
    send->add_option("KÓD", z.Kod, "kód příkazu 0-255")->required()->type_name("");
    send->add_option("PARAMETR", z.Parametr, "parametr příkazu 0-255")->required()->type_name("");
    send->add_option("D1-D5", z.Data, "datové bajty D1 až D5 (chybějící 0), desítkově nebo 0x…")
        ->type_name("");
    send->add_option_function<std::string>(
            "--repeat",
            [&z](const S& s) {
                z.Opakovani.Pocet = static_cast<int>(Cislo(s, 1000000000, "--repeat"));
                if (z.Opakovani.Pocet == 0)
                    throw CLI::ValidationError("--repeat", "počet opakování musí být aspoň 1");
            },
            "poslat N krát a vypsat souhrn (neúspěšné, doby odezvy)")
        ->type_name("N");
    send->add_option_function<std::string>(
            "--interval",
            [&z](const S& s) {
                z.Opakovani.Interval = static_cast<int>(Cislo(s, 3600000, "--interval"));
            },
            "s --repeat: odstup odeslání v ms (výchozí 1000)")
        ->type_name("MS");
    send->final_callback([&z, send] {
        if (Zadana(send, "--interval") && !Zadana(send, "--repeat"))
            throw CLI::ValidationError("--interval", "platí jen s --repeat");
        const TRucniPrikaz p = RucniPrikaz(z);
        z.Akce = [&z, p](TKontext& k) {
            return PosliRucne(k, p, z.Opakovani.Pocet, z.Opakovani.Interval);
        };
    });
}

// The modules of a bus subcommand: --addresses at --rates, or --from.
void VolbySeznamu(CLI::App* p, TZadani& z) {
    auto* adresy = p->add_option("--addresses", z.Adresy, "adresy modulů, např. 1,5,9 nebo 0-3")
                       ->type_name("SEZNAM");
    p->add_option("--rates", z.Rychlosti,
                  "rychlosti v Bd: jedna pro všechny adresy, nebo jedna ke každé "
                  "(výchozí: --baud)")
        ->type_name("SEZNAM")
        ->needs(adresy);
    p->add_option("--from", z.Seznam,
                  "soubor se seznamem modulů ADRESA:RYCHLOST, např. 1:9600, 5:19200 "
                  "(bez voleb: seznam okna Přehled sběrnice ze souboru nastavení)")
        ->type_name("SOUBOR")
        ->excludes(adresy);
}

TSeznamSbernice SeznamSbernice(const CLI::App* p, const TZadani& z) {
    TSeznamSbernice s;
    if (Zadana(p, "--from")) s.Soubor = Q(z.Seznam);
    if (Zadana(p, "--addresses"))
        for (int a : Seznam(z.Adresy, 0, 255, "--addresses"))
            s.Adresy.push_back(static_cast<std::uint8_t>(a));
    if (Zadana(p, "--rates"))
        for (const QString& r : Q(z.Rychlosti).split(u','))
            s.Rychlosti.push_back(Rychlost(r.trimmed().toStdString(), "--rates"));
    if (s.Rychlosti.size() > 1 && s.Rychlosti.size() != s.Adresy.size())
        throw CLI::ValidationError("--rates", "zadejte jednu rychlost, nebo jednu ke každé adrese");
    return s;
}

void VolbyBusSave(CLI::App* p, TZadani& z) {
    p->add_option("SLOŽKA", z.Soubor, "složka zálohy (vytvoří se)")->required()->type_name("");
    VolbySeznamu(p, z);
    p->final_callback([&z, p] {
        z.Akce = [&z, s = SeznamSbernice(p, z)](TKontext& k) {
            return UlozSbernici(k, Q(z.Soubor), s);
        };
    });
}

void VolbyBusDiff(CLI::App* p, TZadani& z) {
    p->add_option("SLOŽKA", z.Soubor, "složka zálohy")->required()->type_name("");
    VolbySeznamu(p, z);
    p->final_callback([&z, p] {
        z.Akce = [&z, s = SeznamSbernice(p, z)](TKontext& k) {
            return RozdilySbernice(k, Q(z.Soubor), s);
        };
    });
}

// The module list of --modules or of the file of --from, as the settings
// file keeps it ("1:9600, 5:19200").
std::vector<TModulSbernice> SeznamModulu(const QString& text, const std::string& volba) {
    const auto moduly = TextNaSeznamModulu(text);
    if (!moduly || moduly->empty())
        throw CLI::ValidationError(volba, "chybný seznam modulů „" + text.toStdString() +
                                              "“ (ADRESA:RYCHLOST, např. 1:9600,5:19200)");
    return *moduly;
}

std::vector<TModulSbernice> SeznamZeSouboru(const std::string& cesta) {
    QString duvod;
    auto moduly = SeznamModuluZeSouboru(Q(cesta), duvod);
    if (!moduly) throw CLI::ValidationError("--from", cesta + ": " + duvod.toStdString());
    return *moduly;
}

void VolbyBusWatch(CLI::App* watch, TZadani& z) {
    auto* moduly = watch->add_option_function<std::string>(
        "--modules", [&z](const S& s) { z.Prehled.Moduly = SeznamModulu(Q(s), "--modules"); },
        "moduly ADRESA:RYCHLOST, např. 1:9600,5:19200 (výchozí: sekce [Přehled sběrnice] "
        "souboru nastavení)");
    moduly->type_name("SEZNAM");
    watch
        ->add_option_function<std::string>(
            "--from", [&z](const S& s) { z.Prehled.Moduly = SeznamZeSouboru(s); },
            "seznam modulů ze souboru (týž zápis, i po řádcích)")
        ->type_name("SOUBOR")
        ->excludes(moduly);
    watch
        ->add_option_function<std::string>(
            "--period",
            [&z](const S& s) {
                z.Prehled.PeriodaMs = static_cast<int>(Cislo(s, 3600000, "--period"));
                if (*z.Prehled.PeriodaMs == 0)
                    throw CLI::ValidationError("--period", "perioda musí být aspoň 1 ms");
            },
            "perioda dotazů každého modulu v ms (výchozí: ze souboru nastavení, jinak 1000)")
        ->type_name("MS");
    watch
        ->add_option_function<std::string>(
            "--count",
            [&z](const S& s) {
                z.Prehled.Pocet = static_cast<int>(Cislo(s, 1000000000, "--count"));
            },
            "počet řádků (dotazů) celkem, 0 = do Ctrl-C (výchozí)")
        ->type_name("N");
    watch->final_callback(
        [&z] { z.Akce = [&z](TKontext& k) { return SledujSbernici(k, z.Prehled); }; });
}

// The subcommands of bus, one row each.
const struct {
    const char* Nazev;
    const char* Popis;
    void (*Volby)(CLI::App*, TZadani&);
} PodprikazyBus[] = {
    {"save", "uloží konfiguraci modulů sběrnice do složky (soubor .cfm na modul a seznam)",
     VolbyBusSave},
    {"diff", "porovná moduly sběrnice se zálohou ve složce", VolbyBusDiff},
    {"watch",
     "přehled sběrnice: moduly seznamu dokola (vstupy, status, watchdog, zdraví), řádek za "
     "každý dotaz",
     VolbyBusWatch},
};

void PrikazyBus(CLI::App& app, TZadani& z) {
    CLI::App* bus =
        app.add_subcommand("bus", "celá sběrnice: přehled modulů, záloha a porovnání konfigurace");
    bus->group("Podpříkazy")->require_subcommand(1);
    bus->set_help_flag("-h,--help", "vypíše nápovědu");
    for (const auto& radek : PodprikazyBus)
        radek.Volby(Podprikaz(*bus, z, radek.Nazev, radek.Popis), z);
}

// A usage error on standard error; with --json anywhere before "--" also
// as the document {"chyba": ...}, as every other error.
int ChybnePouziti(const std::string& zprava, const std::vector<std::string>& argumenty,
                  std::ostream& out, std::ostream& err) {
    err << "chybné použití: " << zprava << "\n(nápověda: zr464-cli --help)\n";
    const auto konecVoleb = std::find(argumenty.begin(), argumenty.end(), "--");
    if (std::find(argumenty.begin(), konecVoleb, "--json") != konecVoleb) {
        std::ostringstream nic;
        TVystup(out, nic, true)
            .Dokument({{QStringLiteral("chyba"), JsonChyby({QStringLiteral("použití"), 0, Q(zprava),
                                                            KodUkonceni::ChybaPouziti})}});
    }
    return KodUkonceni::ChybaPouziti;
}

} // namespace

std::atomic<bool>& PozadavekPreruseni() {
    static std::atomic<bool> pozadavek{false};
    return pozadavek;
}

int SpustCli(const std::vector<std::string>& argumenty, std::ostream& out, std::ostream& err,
             const TProstredi& prostredi) {
    CLI::App app("Modul ZR-464 z příkazové řádky: identifikace, hledání modulů na sběrnici, "
                 "záloha a klonování konfigurace, vstupy, výstupy, status, watchdog.",
                 "zr464-cli");
    app.option_defaults()->group("Volby");
    app.set_help_flag("-h,--help", "vypíše nápovědu");
    app.set_version_flag("--version", "zr464-cli " ZR464_VERSION, "vypíše verzi programu");
    CeskaNapoveda(app);
    app.require_subcommand(1);
    app.footer("Kódy ukončení: 0 úspěch, 1 chyba modulu nebo knihovny, 2 chybné použití "
               "nebo soubor, 3 nesouhlas (zpětné čtení, rozdíly, krok zkoušky selhal), 130 "
               "přerušeno (Ctrl-C).");
    TZadani z;
    PrikazyHodnoty(app, z);
    PrikazySken(app, z);
    PrikazPosli(app, z);
    PrikazyConfig(app, z);
    PrikazyBus(app, z);
    PrikazZkouska(app, z);
    try {
        std::vector<std::string> obracene(argumenty.rbegin(), argumenty.rend());
        app.parse(obracene);
    } catch (const CLI::CallForHelp& e) {
        app.exit(e, out, err);
        return KodUkonceni::Uspech;
    } catch (const CLI::CallForVersion& e) {
        app.exit(e, out, err);
        return KodUkonceni::Uspech;
    } catch (const CLI::ParseError& e) {
        return ChybnePouziti(ZpravaPouziti(e, app), argumenty, out, err);
    }
    TVystup vystup(out, err, z.Volby.Json);
    TKontext kontext{vystup, prostredi, z.Volby.Pripojeni, z.Volby.Stopa, z.Volby.Statistika};
    return z.Akce ? z.Akce(kontext) : KodUkonceni::ChybaPouziti;
}
