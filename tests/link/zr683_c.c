/* The contract header and the fake's control interface compiled as C. */
#include "FakeOvladac.h"
#include "zr683.h"

_Static_assert(ZR683_LAN_TEXT_MAX == 51, "IP text room of the LAN block");
_Static_assert(ZR683_PARAM_WORDS * sizeof(uint32_t) == ZR683_PARAM_BYTES, "block size");

int zr683_c_kontrola(void);

int zr683_c_kontrola(void) {
    zr683_send_fn send = 0;
    zr683_init_lan_fn init = 0;
    uint32_t blok[ZR683_PARAM_WORDS] = {ZR683_LAN_TEXT_OFFSET};
    FakeVolani volani = {FakeSend, 0, {0}, {0}, {0}, 0};
    (void)send;
    (void)init;
    return (int)(blok[ZR683_LAN_IP] + ZR683_REQUEST_WORDS + ZR683_E_ENTRY + volani.vstup);
}
