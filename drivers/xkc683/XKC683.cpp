// XKC683: the ISA card KC-683. _Init takes the card's base address; the
// card's serial device is the one the driver configuration gives for that
// address ("KC-683 300h = ..."), else the card is not installed.
#include "Driver.h"
#include "SerialDriver.h"

ZR683_DRIVER_ENTRIES(XKC683, 100);

extern "C" ZR683_EXPORT uint32_t ZR683_CALL XKC683_Init(uint32_t* handle, uint32_t base) {
    return zrDriver().init(handle, [base](std::unique_ptr<zrbus::Link>& link) {
        return zrbus::openIsaCard(base, link);
    });
}
static_assert(std::is_same_v<decltype(&XKC683_Init), zr683_init_word_fn>);
