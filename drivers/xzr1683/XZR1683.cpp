// XZR1683: the LAN converter ZR-1683, reached by UDP datagrams. Everything
// but the opening of the socket is the shared driver of drivers/core.
#include "Driver.h"
#include "UdpLink.h"

ZR683_DRIVER_ENTRIES(XZR1683, 100);

extern "C" ZR683_EXPORT uint32_t ZR683_CALL XZR1683_Init(uint32_t* handle, const uint32_t* params) {
    return zrDriver().init(handle, [params](std::unique_ptr<zrbus::Link>& link) {
        zrbus::LanParameters lan;
        const std::uint32_t rc = zrbus::readLanParameters(params, lan);
        return rc != zrbus::kOk ? rc : zrbus::openUdpLink(lan, link);
    });
}
static_assert(std::is_same_v<decltype(&XZR1683_Init), zr683_init_lan_fn>);
