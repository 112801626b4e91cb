// libFuzzer target for the driver configuration file: any text parses, the
// lines it skips are lines of the text, and the interface names it knows
// keep their normal form.
#include "DevConfig.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace zrbus;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const DriverConfig c = DriverConfig::parse(text, "/etc/zr683");
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    const std::vector<int>& skipped = c.skippedLines();
    check(std::is_sorted(skipped.begin(), skipped.end()));
    check(skipped.empty() || (skipped.front() >= 1 && skipped.back() <= lines));
    for (const std::string& key : {comKey(1), comKey(255), isaKey(0x300), pciKey(), usbKey()})
        if (const auto device = c.device(key)) check(!device->empty());
    // A name as the file writes it, then in its normal form: the same key.
    if (const auto key = normalKey(text)) check(normalKey(*key) == key);
    return 0;
}
