#include "Watchdog.h"

namespace zrsim {

void Watchdog::start(const WatchdogSettings& s) {
    left_ = s.initTime;
    offLeft_ = 0;
}

void Watchdog::switchOff(const WatchdogSettings& s) {
    offLeft_ = s.relayOffTime;
    left_ = offLeft_ > 0 ? 0 : s.initTime;
}

bool Watchdog::tick(const WatchdogSettings& s) {
    if (!s.active) return false;
    if (offLeft_ > 0) {
        if (--offLeft_ == 0) left_ = s.initTime;
        return false;
    }
    if (left_ > 0) --left_;
    if (left_ > 0) return false;
    switchOff(s);
    return true;
}

void Watchdog::setLeft(std::uint16_t seconds) {
    left_ = seconds;
    offLeft_ = 0;
}

void Watchdog::activationChanged(const WatchdogSettings& s) {
    start(s);
}

} // namespace zrsim
