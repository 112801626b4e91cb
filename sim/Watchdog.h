// The module's watchdog: a count-down in whole seconds that switches the
// relay off when it reaches zero.
#pragma once

#include <cstdint>

namespace zrsim {

struct WatchdogSettings {
    std::uint16_t initTime = 60;     // seconds the count starts from
    std::uint16_t relayOffTime = 10; // seconds the relay stays off
    bool active = true;
};

// While active, every second takes one off the time left. When the time left
// is 0 at a second's tick, the relay switches off for relayOffTime seconds;
// during that phase the time left reads 0. When the phase ends the relay
// switches on again and the count starts again from initTime (with a
// switch-off time of 0 the relay switches and the count restarts at once). Writing a time
// (setLeft) counts as a sign of life: it also ends a switch-off phase at once.
// While inactive, nothing counts and the relay stays on.
class Watchdog {
public:
    // Power-up: relay on, count from the initialisation time.
    void start(const WatchdogSettings& s);
    // One second has passed. Returns true when the relay switched off now.
    bool tick(const WatchdogSettings& s);
    void setLeft(std::uint16_t seconds);
    // Activation changed: a newly activated watchdog starts its count afresh.
    void activationChanged(const WatchdogSettings& s);

    std::uint16_t left() const { return left_; }
    bool relayOn() const { return offLeft_ == 0; }
    std::uint16_t relayOffLeft() const { return offLeft_; }

private:
    void switchOff(const WatchdogSettings& s);

    std::uint16_t left_ = 0;
    std::uint16_t offLeft_ = 0; // seconds of the switch-off phase still to run
};

} // namespace zrsim
