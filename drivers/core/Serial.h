// The serial transport of the driver libraries: one RS-485 line behind a
// serial device (COM port, interface card, USB converter, or the
// simulator's pseudo-terminal). The declarations are portable; the
// operating system's part lives in SerialPosix.cpp (a Windows variant
// would be SerialWindows.cpp).
//
// The device is held exclusively: TIOCEXCL keeps other (unprivileged)
// programs from opening it, and an flock() lock on the device node keeps
// every program that honours it away, root included; the lock goes with
// the last descriptor. The line runs raw (no echo, no line editing, no
// character translation, 8 data bits, no parity, 1 stop bit, no flow
// control), non-blocking, with VMIN = VTIME = 0; every wait is a poll()
// with a deadline, so nothing hangs. Before every request the path must
// still name the device held (its device number and inode); a path that
// names another device by now is opened anew, the old device left alone.
#pragma once

#include "LineTiming.h"
#include "Link.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace zrbus {

// Why a serial device could not be opened. reason() gives the Czech text.
enum class SerialFailure : std::uint8_t {
    None,
    NoDevice,  // the path does not exist
    Denied,    // no permission
    Busy,      // locked or held exclusively by another program
    NotSerial, // opened, but not a terminal device (e.g. /dev/null)
    Other,     // any other failure of open() or of the line set-up
};

// The result code of a failure (kNoDevice, kOpenFailed, ...) and its text
// in UTF-8, e.g. "zařízení neexistuje".
std::uint32_t codeOf(SerialFailure failure);
const char* reasonOf(SerialFailure failure);
// The text of a failure to open the device at `path`. Where permission was
// refused it names the usual remedy, membership of the group that owns the
// device: "přístup odepřen, chybí členství ve skupině dialout".
std::string reasonOf(SerialFailure failure, const std::string& path);
// That text for a device of `group`; without a group to name (none, or one
// longer than kMaxGroupShown, which would crowd the device out of the
// error text) it says only that the rights to the device are missing.
inline constexpr std::size_t kMaxGroupShown = 12;
std::string deniedReason(const std::string& group);

class SerialLink final : public Link {
public:
    explicit SerialLink(std::string path);
    ~SerialLink() override;
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens the device exclusively and sets it raw at the current rate
    // (9600 Bd until setRate). Returns None on success.
    SerialFailure open();
    void close();
    bool isOpen() const;
    const std::string& path() const { return path_; }
    std::uint32_t rate() const { return baud_; }
    // The failure of the last open (also of a reopen after a hang-up).
    SerialFailure lastFailure() const { return lastFailure_; }
    // Called with the reason of every failed open, also of the reopen of a
    // device that hung up.
    void onOpenFailure(std::function<void(SerialFailure)> handler) {
        onOpenFailure_ = std::move(handler);
    }
    // True when the last receive ended because the device hung up or failed.
    bool lineLost() const { return lineLost_; }

    bool datagrams() const override { return false; }
    // How much later than on the line a character may reach the library:
    // kDeliveryLatency (the scheduler, the driver's buffers), a latency the
    // opener adds (a USB converter's packets), and the character times a
    // UART's receive FIFO holds characters back before it interrupts (the
    // device is asked whether it is such a UART when it is opened).
    std::chrono::microseconds deliveryAllowance(std::uint32_t baud) const override;
    void addDeliveryLatency(std::chrono::microseconds latency) { addedLatency_ = latency; }
    bool readable() override;
    // One of the nine bus rates, 600 to 115200 Bd; else kBadBaud.
    std::uint32_t setRate(std::uint32_t baud) override;
    // Flushes the input. A device that hung up is reopened here first.
    void discardPending() override;
    // Keeps the line silent for the inter-frame time, then writes the frame
    // and waits until it has left.
    std::uint32_t send(const std::uint8_t* data, std::size_t size) override;
    Receive receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& size,
                    Clock::time_point deadline) override;

private:
    struct Port;
    SerialFailure failed(SerialFailure f);
    void waitForSilence();
    // Opens the path again when the device held is lost, or when the path
    // names another device by now; true when a device is open.
    bool reopenIfLost();
    bool pathNamesHeldDevice() const;

    std::string path_;
    std::unique_ptr<Port> port_;
    std::uint32_t baud_ = 9600;
    SerialFailure lastFailure_ = SerialFailure::None;
    std::function<void(SerialFailure)> onOpenFailure_;
    bool lineLost_ = false;
    Clock::time_point lastActivity_{};
    std::chrono::microseconds addedLatency_{0};
    std::uint32_t fifoCharacters_ = 0;
};

inline constexpr std::chrono::microseconds kDeliveryLatency{5000};
// The highest receive trigger level of a 16550-type UART's FIFO.
inline constexpr std::uint32_t kUartFifoTrigger = 14;

} // namespace zrbus
