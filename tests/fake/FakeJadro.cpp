// The fake driver library: records every call and answers from the script
// that the test sets up through the Fake_* functions.
#include "FakeJadro.h"

#include "FakeOvladac.h"
#include "zr683.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Odpoved {
    std::uint32_t kod;
    std::uint32_t parametr;
    std::int32_t registr; // -1: any
    std::uint32_t status;
    std::array<std::uint32_t, ZR683_ANSWER_BYTES> bajty;
};

struct Skript {
    std::array<std::uint32_t, FakePocetVstupu> vysledky{};
    std::uint32_t sendVysledek = 0;
    std::uint32_t vysledekOd = 0; // from this _Send on (1 = the first), vysledekPozdeji
    std::uint32_t vysledekPozdeji = 0;
    std::uint32_t poInit = 1;
    std::uint32_t poDone = 0;
    bool zapisovat = true;
    bool prepsatBlok = false;
    bool vlastniText = false;
    std::string text;
    std::vector<Odpoved> odpovedi;
    FakePriVolani priVolani = nullptr;
    void* kontext = nullptr;
};

struct Stav {
    Skript skript;
    std::vector<FakeVolani> volani;
};

Stav& S() {
    static Stav stav;
    return stav;
}

FakeVolani& Zaznam(FakeVstup vstup, std::uint32_t spojeni) {
    FakeVolani v;
    std::memset(&v, 0, sizeof v);
    v.vstup = static_cast<std::uint32_t>(vstup);
    v.spojeni = spojeni;
    S().volani.push_back(v);
    if (S().skript.priVolani != nullptr) S().skript.priVolani(v.vstup, S().skript.kontext);
    return S().volani.back();
}

std::uint32_t Vysledek(FakeVstup vstup) {
    return S().skript.vysledky[vstup];
}

std::uint32_t PoInit(std::uint32_t* spojeni) {
    const std::uint32_t r = Vysledek(FakeInit);
    if (r == ZR683_OK) *spojeni = S().skript.poInit;
    return r;
}

const Odpoved* NajdiOdpoved(const std::uint32_t* pozadavek) {
    const Odpoved* obecna = nullptr;
    for (const Odpoved& o : S().skript.odpovedi) {
        if (o.kod != pozadavek[ZR683_REQ_COMMAND] || o.parametr != pozadavek[ZR683_REQ_PARAMETER])
            continue;
        if (o.registr >= 0 &&
            static_cast<std::uint32_t>(o.registr) == pozadavek[ZR683_REQ_DATA + 1])
            return &o;
        if (o.registr < 0) obecna = &o;
    }
    return obecna;
}

void ZapisOdpoved(const std::uint32_t* pozadavek, std::uint32_t* odpoved, std::uint32_t* status,
                  std::uint32_t* vysledek) {
    const Odpoved* o = NajdiOdpoved(pozadavek);
    *status = o != nullptr ? o->status : 0;
    for (std::size_t i = 0; i < ZR683_ANSWER_BYTES; ++i)
        odpoved[i] = o != nullptr ? o->bajty[i] : 0;
    const Skript& s = S().skript;
    const auto poradi = static_cast<std::uint32_t>(
        std::count_if(S().volani.begin(), S().volani.end(),
                      [](const FakeVolani& v) { return v.vstup == FakeSend; }));
    const bool pozdeji = s.vysledekOd != 0 && poradi >= s.vysledekOd;
    *vysledek = pozdeji ? s.vysledekPozdeji : s.sendVysledek;
}

} // namespace

namespace fake {

std::uint32_t Version() {
    Zaznam(FakeVersion, 0);
    return 105;
}

std::uint32_t InitSlovo(std::uint32_t* spojeni, std::uint32_t slovo0) {
    FakeVolani& v = Zaznam(FakeInit, spojeni != nullptr ? *spojeni : 0);
    v.argumenty[0] = slovo0;
    v.nulovyUkazatel = spojeni == nullptr;
    return spojeni != nullptr ? PoInit(spojeni) : ZR683_E_REQUEST;
}

std::uint32_t InitBez(std::uint32_t* spojeni) {
    FakeVolani& v = Zaznam(FakeInit, spojeni != nullptr ? *spojeni : 0);
    v.nulovyUkazatel = spojeni == nullptr;
    return spojeni != nullptr ? PoInit(spojeni) : ZR683_E_REQUEST;
}

std::uint32_t InitBlok(std::uint32_t* spojeni, const std::uint32_t* blok) {
    FakeVolani& v = Zaznam(FakeInit, spojeni != nullptr ? *spojeni : 0);
    v.nulovyUkazatel = spojeni == nullptr || blok == nullptr;
    if (v.nulovyUkazatel) return ZR683_E_REQUEST;
    std::copy_n(blok, ZR683_PARAM_WORDS, v.blok);
    // The block is the binding's own copy; scribbling on it must not reach
    // the caller's parameters.
    if (S().skript.prepsatBlok)
        std::fill_n(const_cast<std::uint32_t*>(blok), ZR683_PARAM_WORDS, 0xFFFFFFFFu);
    return PoInit(spojeni);
}

std::uint32_t SetConfig(std::uint32_t spojeni, std::uint32_t baud, std::uint32_t cekani,
                        std::uint32_t konstanta) {
    FakeVolani& v = Zaznam(FakeSetConfig, spojeni);
    v.argumenty[0] = baud;
    v.argumenty[1] = cekani;
    v.argumenty[2] = konstanta;
    return Vysledek(FakeSetConfig);
}

std::uint32_t GetConfig(std::uint32_t spojeni, std::uint32_t*, std::uint32_t*, std::uint32_t*) {
    Zaznam(FakeGetConfig, spojeni);
    return Vysledek(FakeGetConfig);
}

std::uint32_t Send(std::uint32_t spojeni, const std::uint32_t* pozadavek, std::uint32_t* odpoved,
                   std::uint32_t* status, std::uint32_t* vysledek) {
    FakeVolani& v = Zaznam(FakeSend, spojeni);
    v.nulovyUkazatel = !pozadavek || !odpoved || !status || !vysledek;
    if (v.nulovyUkazatel) return ZR683_E_REQUEST;
    std::copy_n(pozadavek, ZR683_REQUEST_WORDS, v.blok);
    v.naVstupu[0] = *status;
    v.naVstupu[1] = *vysledek;
    std::copy_n(odpoved, ZR683_ANSWER_BYTES, v.naVstupu + 2);
    if (S().skript.zapisovat) ZapisOdpoved(pozadavek, odpoved, status, vysledek);
    return Vysledek(FakeSend);
}

std::uint32_t Done(std::uint32_t* spojeni) {
    FakeVolani& v = Zaznam(FakeDone, spojeni != nullptr ? *spojeni : 0);
    v.nulovyUkazatel = spojeni == nullptr;
    if (spojeni != nullptr) *spojeni = S().skript.poDone;
    return Vysledek(FakeDone);
}

std::uint32_t Error(std::uint32_t kod, std::uint32_t* buffer) {
    FakeVolani& v = Zaznam(FakeError, 0);
    v.argumenty[0] = kod;
    v.nulovyUkazatel = buffer == nullptr;
    if (buffer == nullptr) return ZR683_E_REQUEST;
    std::string text = S().skript.text;
    if (!S().skript.vlastniText) text = "fake chyba " + std::to_string(kod);
    std::fill_n(buffer, ZR683_ERROR_CHARS, 0u);
    const std::size_t n = std::min<std::size_t>(text.size(), ZR683_ERROR_CHARS - 1);
    for (std::size_t i = 0; i < n; ++i)
        buffer[i + 1] = static_cast<unsigned char>(text[i]);
    return Vysledek(FakeError);
}

} // namespace fake

extern "C" {

FAKE_API void Fake_Reset(void) {
    S() = Stav{};
}

FAKE_API void Fake_NastavVysledek(uint32_t vstup, uint32_t vysledek) {
    if (vstup < FakePocetVstupu) S().skript.vysledky[vstup] = vysledek;
}

FAKE_API void Fake_NastavSendVysledek(uint32_t vysledek) {
    S().skript.sendVysledek = vysledek;
}

FAKE_API void Fake_NastavSendVysledekOd(uint32_t poradi, uint32_t vysledek) {
    S().skript.vysledekOd = poradi;
    S().skript.vysledekPozdeji = vysledek;
}

FAKE_API void Fake_NastavSpojeni(uint32_t poInit, uint32_t poDone) {
    S().skript.poInit = poInit;
    S().skript.poDone = poDone;
}

FAKE_API void Fake_NastavOdpoved(uint32_t kod, uint32_t parametr, int32_t registr, uint32_t status,
                                 const uint32_t* odpoved4) {
    Odpoved o{kod, parametr, registr, status, {}};
    if (odpoved4 != nullptr) std::copy_n(odpoved4, ZR683_ANSWER_BYTES, o.bajty.begin());
    S().skript.odpovedi.push_back(o);
}

FAKE_API void Fake_NastavZapis(int zapisovat) {
    S().skript.zapisovat = zapisovat != 0;
}

FAKE_API void Fake_NastavText(const char* text) {
    S().skript.vlastniText = text != nullptr;
    S().skript.text = text != nullptr ? text : "";
}

FAKE_API void Fake_NastavPrepisBloku(int prepsat) {
    S().skript.prepsatBlok = prepsat != 0;
}

FAKE_API void Fake_NastavPriVolani(FakePriVolani priVolani, void* kontext) {
    S().skript.priVolani = priVolani;
    S().skript.kontext = kontext;
}

FAKE_API uint32_t Fake_PocetVolani(void) {
    return static_cast<uint32_t>(S().volani.size());
}

FAKE_API int Fake_Volani(uint32_t index, FakeVolani* cil) {
    if (cil == nullptr || index >= S().volani.size()) return 0;
    *cil = S().volani[index];
    return 1;
}

} // extern "C"
