#include "Napoveda.h"

#include <regex>

namespace {

// The characters of a UTF-8 text (continuation bytes are not counted).
std::size_t Znaku(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

class TFormatNapovedy : public CLI::Formatter {
public:
    std::string make_option(const CLI::Option* volba, bool pozicni) const override {
        return Radek(make_option_name(volba, pozicni) + make_option_opts(volba),
                     make_option_desc(volba));
    }
    std::string make_subcommand(const CLI::App* podprikaz) const override {
        return Radek(podprikaz->get_display_name(true), podprikaz->get_description());
    }
    // The placeholder of the value only; what is required or needed is said
    // by the usage line and the description.
    std::string make_option_opts(const CLI::Option* volba) const override {
        if (volba->get_type_size() == 0 || volba->get_type_name().empty()) return {};
        return " " + volba->get_type_name();
    }

private:
    // "  name   description", the description in its column whatever the
    // name's characters take in bytes.
    std::string Radek(const std::string& nazev, const std::string& popis) const {
        std::string radek = "  " + nazev;
        const std::size_t sirka = get_column_width();
        if (Znaku(radek) >= sirka)
            radek += "\n" + std::string(sirka, ' ');
        else
            radek += std::string(sirka - Znaku(radek), ' ');
        return radek + popis + "\n";
    }
};

// CLI11's texts (version 2.1) and their Czech wording; $1, $2 are the
// pattern's groups.
struct TPreklad {
    const char* Vzor;
    const char* Text;
};

const TPreklad Preklady[] = {
    {"A subcommand is required|Requires at least \\d+ subcommands", "chybí podpříkaz"},
    {"(.+) is required", "chybí povinný argument $1"},
    {"(.+): At Most (\\d+) required but received (\\d+)",
     "$1 smí být zadáno nejvýše $2krát, zadáno $3krát"},
    {"(.+): At least (\\d+) required but received (\\d+)",
     "$1 musí být zadáno aspoň $2krát, zadáno $3krát"},
    {"(.+): \\d+ required .* missing", "$1: chybí hodnota"},
    {"Expected (exactly|at least) (\\d+) arguments? to (.+), got (\\d+)",
     "$3: očekáván počet hodnot $2, zadáno $4"},
    {"Could not convert: (.+) = (.*)", "$1: hodnotu „$2“ nelze použít (přepínač nebere hodnotu)"},
    {"The value (.+) is not an allowed value for (.+)", "$2: hodnota „$1“ není dovolena"},
    {"(.+): too many inputs for a flag", "přepínač $1 nebere hodnotu"},
    {"(.+): Should be true/false or a number", "přepínač $1 nebere hodnotu"},
    {"(.+) was given a disallowed flag override", "přepínač $1 nebere hodnotu"},
    {"(.+) requires (.+)", "$1 lze použít jen s $2"},
    {"(.+) excludes (.+)", "$1 nelze použít s $2"},
    {"(.+) was not readable \\(missing\\?\\)", "$1 nelze přečíst"},
};

// Every argument left over, in the order given.
std::string Navic(const CLI::App& app) {
    std::string text;
    for (const std::string& a : app.remaining(true))
        text += (text.empty() ? "" : " ") + a;
    return text;
}

} // namespace

void CeskaNapoveda(CLI::App& app) {
    auto format = std::make_shared<TFormatNapovedy>();
    for (const auto& [klic, text] : {std::pair{"Usage", "Použití"},
                                     {"OPTIONS", "VOLBY"},
                                     {"SUBCOMMAND", "PODPŘÍKAZ"},
                                     {"SUBCOMMANDS", "PODPŘÍKAZY"},
                                     {"Positionals", "Argumenty"},
                                     {"Options", "Volby"},
                                     {"Subcommands", "Podpříkazy"}})
        format->label(klic, text);
    app.formatter(format);
}

std::string ZpravaPouziti(const CLI::ParseError& chyba, const CLI::App& app) {
    const std::string navic = Navic(app);
    if (dynamic_cast<const CLI::ExtrasError*>(&chyba) != nullptr)
        return "nečekané argumenty: " + navic;
    // A subcommand is missing because an unknown word stands in its place.
    if (dynamic_cast<const CLI::RequiredError*>(&chyba) != nullptr && !navic.empty() &&
        std::string(chyba.what()).find("subcommand") != std::string::npos)
        return "neznámý podpříkaz: " + navic;
    // Our own checks give their messages in Czech already.
    if (dynamic_cast<const CLI::ValidationError*>(&chyba) != nullptr) return chyba.what();
    const std::string text = chyba.what();
    for (const TPreklad& p : Preklady) {
        const std::regex vzor(p.Vzor);
        if (std::regex_match(text, vzor)) return std::regex_replace(text, vzor, p.Text);
    }
    return "příkazová řádka není srozumitelná";
}
