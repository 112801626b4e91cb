#include "Texts.h"

#include "Codes.h"

#include <array>
#include <mutex>
#include <utility>

#include "zr683.h"

namespace zrbus {

static_assert(kMaxErrorChars == ZR683_ERROR_CHARS - 1);

namespace {

struct CodeText {
    std::uint32_t code;
    std::string_view text;
};

constexpr std::array<CodeText, 32> kTexts{{
    {kOk, "bez chyby"},
    {kBadHandle, "neplatné číslo spojení"},
    {kOpenFailed, "nelze otevřít port"},
    {kBadAddress, "neplatná IP adresa"},
    {kBadPort, "neplatný UDP port"},
    {kSendFailed, "chyba při odesílání požadavku"},
    {kTimeout, "modul neodpověděl v časovém limitu"},
    {kBadCrc, "chyba kontrolního součtu odpovědi"},
    {kBadAnswer, "neplatná odpověď modulu"},
    {kRequestNotBuilt, "požadavek nelze sestavit"},
    {kUnbound, "funkce knihovny není připojena nebo neznámý typ rozhraní"},
    {kBadBaud, "nepodporovaná přenosová rychlost"},
    {kBadConstant, "chybný parametr nastavení linky"},
    {kNotConfigured, "linka není nastavena"},
    {kTooManyConnections, "příliš mnoho otevřených spojení"},
    {kReceiveFailed, "chyba při příjmu odpovědi"},
    {kNullArgument, "chybný ukazatel v parametrech"},
    {kBadTimeout, "neplatný UDP timeout"},
    {kInternal, "vnitřní chyba knihovny"},
    {kConverterRefused, "převodník odmítl nastavení linky"},
    {kModuleUnknownCommand, "modul: neznámý příkaz"},
    {kModuleBadParameter, "modul: neplatný parametr příkazu"},
    {kModuleUnknownRegister, "modul: neexistující registr"},
    {kModuleBadValue, "modul: neplatná hodnota"},
    {kModuleMismatch, "modul: nesouhlasí kopie čísla registru nebo hodnoty"},
    {kModuleBusy, "modul: příkaz nelze nyní provést"},
    {kNoDevice, "sériové zařízení neexistuje"},
    {kDeviceBusy, "sériové zařízení používá jiný program"},
    {kNotSerial, "zařízení není sériový port"},
    {kNotInstalled, "karta nebo převodník není nainstalován"},
    {kBadComPort, "neplatné číslo portu COM (povoleno 1 až 255)"},
    {kConverterUnreachable, "LAN převodník neodpovídá (port nedostupný)"},
}};

constexpr std::string_view kOtherModuleCode = "modul hlásí neznámou chybu";
constexpr std::string_view kUnknownCode = "neznámý chybový kód";

// Unicode code point -> Windows-1250 byte for the Czech letters.
constexpr std::array<std::pair<char32_t, unsigned char>, 30> kCzech{{
    {U'á', 0xE1}, {U'č', 0xE8}, {U'ď', 0xEF}, {U'é', 0xE9}, {U'ě', 0xEC}, {U'í', 0xED},
    {U'ň', 0xF2}, {U'ó', 0xF3}, {U'ř', 0xF8}, {U'š', 0x9A}, {U'ť', 0x9D}, {U'ú', 0xFA},
    {U'ů', 0xF9}, {U'ý', 0xFD}, {U'ž', 0x9E}, {U'Á', 0xC1}, {U'Č', 0xC8}, {U'Ď', 0xCF},
    {U'É', 0xC9}, {U'Ě', 0xCC}, {U'Í', 0xCD}, {U'Ň', 0xD2}, {U'Ó', 0xD3}, {U'Ř', 0xD8},
    {U'Š', 0x8A}, {U'Ť', 0x8D}, {U'Ú', 0xDA}, {U'Ů', 0xD9}, {U'Ý', 0xDD}, {U'Ž', 0x8E},
}};

unsigned char mapCodePoint(char32_t cp) {
    if (cp < 0x80) return static_cast<unsigned char>(cp);
    for (const auto& [from, to] : kCzech)
        if (from == cp) return to;
    return '?';
}

constexpr char32_t kNotUtf8 = 0xFFFD;

// The number of bytes of the UTF-8 sequence a lead byte starts, 0 for a
// byte that cannot start one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Decodes one UTF-8 sequence at text[i] and advances i past it. A byte that
// does not start a complete sequence (texts may carry a device path, which
// is any bytes) counts alone as kNotUtf8, so the bytes after it, e.g. the
// ": " of an error text, are never swallowed.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t n = sequenceLength(lead);
    if (n == 0 || i + n > text.size()) {
        ++i;
        return n == 1 ? lead : kNotUtf8;
    }
    char32_t cp = n == 1 ? lead : lead & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kNotUtf8;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    // An overlong form (e.g. of a NUL that would end the text) is no letter.
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    i += n;
    return cp < kLeast[n] ? kNotUtf8 : cp;
}

} // namespace

std::string_view textOf(std::uint32_t code) {
    for (const auto& e : kTexts)
        if (e.code == code) return e.text;
    return code <= ZR683_LIB_LAST ? kOtherModuleCode : kUnknownCode;
}

std::string toWindows1250(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();)
        out.push_back(static_cast<char>(mapCodePoint(nextCodePoint(utf8, i))));
    return out;
}

namespace {

struct Detail {
    std::mutex mutex;
    std::uint32_t code = kOk;
    std::string text;
};

Detail& lastDetail() {
    static Detail detail;
    return detail;
}

std::string textWithDetail(std::uint32_t code) {
    Detail& d = lastDetail();
    std::lock_guard lock(d.mutex);
    return std::string(code != kOk && code == d.code ? d.text : textOf(code));
}

} // namespace

void setErrorDetail(std::uint32_t code, std::string text) {
    Detail& d = lastDetail();
    std::lock_guard lock(d.mutex);
    d.code = code;
    d.text = std::move(text);
}

std::uint32_t fillErrorBuffer(std::uint32_t code, std::uint32_t* buffer) {
    if (buffer == nullptr) return kNullArgument;
    const std::string text = toWindows1250(textWithDetail(code));
    for (std::size_t i = 0; i < ZR683_ERROR_CHARS; ++i)
        buffer[i] = 0;
    for (std::size_t i = 0; i < text.size() && i < kMaxErrorChars; ++i)
        buffer[i + 1] = static_cast<unsigned char>(text[i]);
    return kOk;
}

} // namespace zrbus
