// XCOM683: a standard COM port. _Init takes the port number 1..255; the
// device is /dev/ttyS(n-1) unless the driver configuration names another.
#include "Driver.h"
#include "SerialDriver.h"

ZR683_DRIVER_ENTRIES(XCOM683, 100);

extern "C" ZR683_EXPORT uint32_t ZR683_CALL XCOM683_Init(uint32_t* handle, uint32_t port) {
    return zrDriver().init(handle, [port](std::unique_ptr<zrbus::Link>& link) {
        return zrbus::openComPort(port, link);
    });
}
static_assert(std::is_same_v<decltype(&XCOM683_Init), zr683_init_word_fn>);
