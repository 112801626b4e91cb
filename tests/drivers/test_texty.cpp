// Every text the libraries hand out through _Error, with the longest values
// its parts can take: it fits the 99 characters of the buffer whole, every
// character is one of Windows-1250, and a parenthesis it opens is closed.
// Where a text names a device, the reason comes before the path.
#include "Codes.h"
#include "Serial.h"
#include "SerialDriver.h"
#include "Texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace zrbus;

namespace {

// The text _Error gives for the code: the buffer's elements from 1 on.
std::string buffered(std::uint32_t code) {
    std::uint32_t buffer[100];
    EXPECT_EQ(fillErrorBuffer(code, buffer), kOk);
    std::string text;
    for (std::size_t i = 1; i < 100 && buffer[i] != 0; ++i)
        text.push_back(static_cast<char>(buffer[i]));
    return text;
}

// A text in UTF-8 as the buffer holds it: whole, in Windows-1250.
void expectWhole(const std::string& utf8, const std::string& inBuffer) {
    const std::string cp1250 = toWindows1250(utf8);
    EXPECT_LE(cp1250.size(), kMaxErrorChars) << utf8;
    EXPECT_EQ(inBuffer, cp1250) << utf8;
    EXPECT_EQ(cp1250.find('?'), std::string::npos) << utf8 << ": a character outside Windows-1250";
    EXPECT_EQ(std::count(utf8.begin(), utf8.end(), '('), std::count(utf8.begin(), utf8.end(), ')'))
        << utf8;
}

// The longest a path of the system can be; the text shows its end.
const std::string kLongPath = "/" + std::string(PATH_MAX - 16, 'd') + "/zr464-sim-com1";

TEST(TextyKnihoven, KazdyTextSeVejdeCelyDoBufferu) {
    // The plain text of every code a library can return.
    for (std::uint32_t code = 0; code < 100; ++code) {
        setErrorDetail(kOk, "");
        expectWhole(std::string(textOf(code)), buffered(code));
    }

    // The texts with a detail, made by the libraries' own calls with the
    // largest values they take.
    const struct {
        const char* what;
        std::function<std::uint32_t(std::unique_ptr<Link>&)> open;
    } calls[] = {
        {"COM 0", [](auto& l) { return openComPort(0, l); }},
        {"COM 2^32-1", [](auto& l) { return openComPort(UINT32_MAX, l); }},
        {"ISA FFFFh", [](auto& l) { return openIsaCard(0xFFFF, l); }},
        {"PCI", [](auto& l) { return openPciCard(l); }},
        {"USB", [](auto& l) { return firstUsbSerialDevice().empty() ? openUsbConverter(l) : kOk; }},
    };
    for (const auto& c : calls) {
        std::unique_ptr<Link> link;
        const std::uint32_t code = c.open(link);
        if (code == kOk) continue; // this machine has the device
        const std::string text = buffered(code);
        EXPECT_EQ(text.find('?'), std::string::npos) << c.what << ": " << text;
        EXPECT_LT(text.size(), kMaxErrorChars) << c.what << ": " << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '('),
                  std::count(text.begin(), text.end(), ')'))
            << c.what << ": " << text;
    }

    // A device that cannot be opened, or the configuration file: every
    // reason, with a short and the longest path. The reason stays whole and
    // comes first; the path, cut at its start where it must be, comes last.
    std::vector<std::string> whats = {kConfigUnreadable};
    for (const char* who :
         {"port COM255", "kartu KC-683 na adrese FFFFh", "kartu KC-1683", "převodník KU-1683"})
        whats.push_back(std::string(who) + " nelze otevřít");
    std::vector<std::string> reasons = {deniedReason("dialout"),
                                        deniedReason(std::string(kMaxGroupShown, 'g')),
                                        deniedReason(std::string(kMaxGroupShown + 1, 'g')),
                                        "soubor je příliš velký", "není to obyčejný soubor"};
    for (const auto f : {SerialFailure::NoDevice, SerialFailure::Denied, SerialFailure::Busy,
                         SerialFailure::NotSerial, SerialFailure::Other})
        reasons.emplace_back(reasonOf(f));
    for (const std::string& what : whats)
        for (const std::string& reason : reasons)
            for (const std::string& path : {std::string("/dev/ttyS254"), kLongPath}) {
                const std::string text = failureText(what, reason, path);
                SCOPED_TRACE(text);
                setErrorDetail(kNoDevice, text);
                expectWhole(text, buffered(kNoDevice));
                const std::string head = what + ": " + reason;
                EXPECT_EQ(text.substr(0, head.size()), head);
                const std::string tail = text.substr(head.size());
                const bool whole = tail == " (" + path + ")";
                const bool cut = tail.size() > 7 && tail.substr(0, 5) == " (..." &&
                                 path.ends_with(tail.substr(5, tail.size() - 6)) &&
                                 tail.back() == ')';
                // Left out only where not even "..." and one character fit.
                EXPECT_TRUE(whole || cut || (tail.empty() && toWindows1250(head).size() > 92));
            }
    EXPECT_EQ(deniedReason("dialout"), "přístup odepřen, chybí členství ve skupině dialout");
    EXPECT_EQ(
        failureText("port COM1 nelze otevřít", reasonOf(SerialFailure::NoDevice), "/dev/ttyS0"),
        "port COM1 nelze otevřít: zařízení neexistuje (/dev/ttyS0)");
}

} // namespace
