// XKC1683: the PCI card KC-1683. Its serial device is the one the driver
// configuration gives ("KC-1683 = ..."), else the card is not installed.
#include "Driver.h"
#include "SerialDriver.h"

ZR683_DRIVER_ENTRIES(XKC1683, 100);

extern "C" ZR683_EXPORT uint32_t ZR683_CALL XKC1683_Init(uint32_t* handle) {
    return zrDriver().init(
        handle, [](std::unique_ptr<zrbus::Link>& link) { return zrbus::openPciCard(link); });
}
static_assert(std::is_same_v<decltype(&XKC1683_Init), zr683_init_fn>);
