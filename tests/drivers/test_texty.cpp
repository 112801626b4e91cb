// Every text the libraries hand out through _Error, with the longest values
// its parts can take, fits the 99 characters of the buffer whole, in
// Windows-1250, with its parentheses closed; where it names a device, the
// reason comes before the path.
#include "Codes.h"
#include "Serial.h"
#include "SerialDriver.h"
#include "Texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using namespace zrbus;

namespace {

// The text the buffer holds for the code is the whole text, in Windows-1250.
void expectWhole(std::uint32_t code, const std::string& utf8) {
    std::uint32_t buffer[100];
    ASSERT_EQ(fillErrorBuffer(code, buffer), kOk);
    std::string held;
    for (std::size_t i = 1; i < 100 && buffer[i] != 0; ++i)
        held.push_back(static_cast<char>(buffer[i]));
    const std::string cp1250 = toWindows1250(utf8);
    EXPECT_LE(cp1250.size(), kMaxErrorChars) << utf8;
    EXPECT_EQ(held, cp1250) << utf8;
    EXPECT_EQ(cp1250.find('?'), std::string::npos) << utf8 << ": not in Windows-1250";
    EXPECT_EQ(std::count(utf8.begin(), utf8.end(), '('), std::count(utf8.begin(), utf8.end(), ')'))
        << utf8;
}

TEST(TextyKnihoven, KazdyTextSeVejdeCelyDoBufferu) {
    for (std::uint32_t code = 0; code < 100; ++code) {
        setErrorDetail(kOk, "");
        expectWhole(code, std::string(textOf(code)));
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
    const std::string longPath = "/" + std::string(PATH_MAX - 16, 'd') + "/zr464-sim-com1";
    for (const std::string& what : whats)
        for (const std::string& reason : reasons)
            for (const std::string& path : {std::string("/dev/ttyS254"), longPath}) {
                const std::string text = failureText(what, reason, path);
                SCOPED_TRACE(text);
                setErrorDetail(kNoDevice, text);
                expectWhole(kNoDevice, text);
                const std::string head = what + ": " + reason;
                ASSERT_EQ(text.substr(0, head.size()), head);
                const std::string tail = text.substr(head.size());
                const bool cut = tail.starts_with(" (...") && tail.ends_with(")") &&
                                 path.ends_with(tail.substr(5, tail.size() - 6));
                // Left out only where not even "..." and one character fit.
                EXPECT_TRUE(tail == " (" + path + ")" || (cut && tail.size() > 7) ||
                            (tail.empty() && toWindows1250(head).size() > 92));
            }
    EXPECT_EQ(deniedReason("dialout"), "přístup odepřen, chybí členství ve skupině dialout");
    EXPECT_EQ(
        failureText("port COM1 nelze otevřít", reasonOf(SerialFailure::NoDevice), "/dev/ttyS0"),
        "port COM1 nelze otevřít: zařízení neexistuje (/dev/ttyS0)");
}

} // namespace
