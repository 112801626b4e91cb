// Gives the fake's entry points the names of one library file. Built once
// per file with ZR_FAKE_NAME (XCOM683 ...), ZR_FAKE_TVAR (the _Init shape:
// 0 with word 0, 1 handle alone, 2 with the block) and optionally
// ZR_FAKE_BEZ_<entry> to leave one entry point out.
#include "FakeJadro.h"
#include "zr683.h"

#define FAKE_SPOJ2(a, b) a##_##b
#define FAKE_SPOJ(a, b) FAKE_SPOJ2(a, b)
#define FAKE_VSTUP(n) FAKE_SPOJ(ZR_FAKE_NAME, n)

extern "C" {

#ifndef ZR_FAKE_BEZ_Version
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(Version)(void) {
    return fake::Version();
}
#endif

#ifndef ZR_FAKE_BEZ_Init
#if ZR_FAKE_TVAR == 0
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(Init)(uint32_t* spojeni, uint32_t slovo0) {
    return fake::InitSlovo(spojeni, slovo0);
}
#elif ZR_FAKE_TVAR == 1
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(Init)(uint32_t* spojeni) {
    return fake::InitBez(spojeni);
}
#else
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(Init)(uint32_t* spojeni, const uint32_t* blok) {
    return fake::InitBlok(spojeni, blok);
}
#endif
#endif

#ifndef ZR_FAKE_BEZ_SetConfig
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(SetConfig)(uint32_t spojeni, uint32_t baud,
                                                       uint32_t cekani, uint32_t konstanta) {
    return fake::SetConfig(spojeni, baud, cekani, konstanta);
}
#endif

#ifndef ZR_FAKE_BEZ_GetConfig
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(GetConfig)(uint32_t spojeni, uint32_t* baud,
                                                       uint32_t* cekani, uint32_t* konstanta) {
    return fake::GetConfig(spojeni, baud, cekani, konstanta);
}
#endif

#ifndef ZR_FAKE_BEZ_Send
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(Send)(uint32_t spojeni, const uint32_t* pozadavek,
                                                  uint32_t* odpoved, uint32_t* status,
                                                  uint32_t* vysledek) {
    return fake::Send(spojeni, pozadavek, odpoved, status, vysledek);
}
#endif

#ifndef ZR_FAKE_BEZ_Done
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(Done)(uint32_t* spojeni) {
    return fake::Done(spojeni);
}
#endif

#ifndef ZR_FAKE_BEZ_Error
ZR683_EXPORT uint32_t ZR683_CALL FAKE_VSTUP(Error)(uint32_t kod, uint32_t* buffer) {
    return fake::Error(kod, buffer);
}
#endif

} // extern "C"
