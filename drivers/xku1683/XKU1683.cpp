// XKU1683: the USB converter KU-1683. Its serial device is the one the
// driver configuration gives ("KU-1683 = ..."), else the first /dev/ttyUSB*.
#include "Driver.h"
#include "SerialDriver.h"

ZR683_DRIVER_ENTRIES(XKU1683, 100);

extern "C" ZR683_EXPORT uint32_t ZR683_CALL XKU1683_Init(uint32_t* handle) {
    return zrDriver().init(
        handle, [](std::unique_ptr<zrbus::Link>& link) { return zrbus::openUsbConverter(link); });
}
static_assert(std::is_same_v<decltype(&XKU1683_Init), zr683_init_fn>);
