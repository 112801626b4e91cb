/*
 * The scriptable fake interface driver library used by the tests.
 *
 * One source is built into the five library files (XCOM683.so ... XZR1683.so,
 * no "lib" prefix) in a directory of its own, and into variants that lack one
 * entry point or are no library at all. The directories reach the tests as
 * compile definitions of the CMake target `zr_fake` (link it to get them,
 * this header's include path and the build dependency on the libraries):
 *   ZR_FAKELIB_DIR             all seven entry points, all five names
 *   ZR_FAKELIB_NOGETCONFIG_DIR all five names, without NAME_GetConfig
 *   ZR_FAKELIB_NOVERSION_DIR   XCOM683 only, without XCOM683_Version
 *   ZR_FAKELIB_NOSEND_DIR      XZR1683 only, without XZR1683_Send
 *   ZR_FAKELIB_INVALID_DIR     five files of the right names that are text
 *   ZR_FAKELIB_EMPTY_DIR       an empty directory
 * The same paths are CMake cache variables of the same names.
 *
 * Besides the seven entry points every library exports the Fake_* functions
 * below, which script its answers and hand out the record of every call.
 * Each library file has its own state; a test reaches it by opening the same
 * file (class FakeOvladac). Opening it also keeps the library, and with it
 * the script and the record, in memory while the binding unloads and loads
 * it again. Typical use:
 *
 *   FakeOvladac fake(ZR_FAKELIB_DIR, 3);       // XKU1683.so, state reset
 *   fake.Vysledek(FakeSend, 5);                // _Send returns 5
 *   fake.Odpoved(102, 0, 63, 0x10, {0, 0, 7, 0}); // register 63 reads 7
 *   NastavAdresarKnihoven(ZR_FAKELIB_DIR);
 *   ... InitRozhrani(3, ...), PosliPrikaz(...) ...
 *   auto volani = fake.Volani(FakeSend);       // every _Send call so far
 *
 * Defaults after a reset: every entry point returns 0, _Init writes handle 1,
 * _Done leaves 0 in the handle variable, _Send writes status 0, answer bytes
 * 0 and result 0, _Error writes "fake chyba N" for code N.
 */
#ifndef FAKE_OVLADAC_H
#define FAKE_OVLADAC_H

#include <stdint.h>

#if defined(_WIN32)
#define FAKE_API __declspec(dllexport)
#else
#define FAKE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The entry points, as recorded. */
enum FakeVstup {
    FakeVersion = 0,
    FakeInit = 1,
    FakeSetConfig = 2,
    FakeGetConfig = 3,
    FakeSend = 4,
    FakeDone = 5,
    FakeError = 6,
    FakePocetVstupu = 7
};

/* One recorded call. */
typedef struct FakeVolani {
    uint32_t vstup;   /* enum FakeVstup */
    uint32_t spojeni; /* the handle argument; Init and Done: the variable on entry */
    /* Init types 0 and 1: word 0; SetConfig: baud, wait, constant; Error: code */
    uint32_t argumenty[3];
    /* Init type 4: the 16 words of the block; Send: the 100 request words */
    uint32_t blok[100];
    /* Send: status, result and answer words 0 to 3 as they were on entry */
    uint32_t naVstupu[6];
    uint32_t nulovyUkazatel; /* 1 when a pointer argument was null */
} FakeVolani;

/* Forgets the script and the record. */
FAKE_API void Fake_Reset(void);
/* What an entry point returns. */
FAKE_API void Fake_NastavVysledek(uint32_t vstup, uint32_t vysledek);
/* What _Send writes into the result variable. */
FAKE_API void Fake_NastavSendVysledek(uint32_t vysledek);
/* What _Send writes into the result variable from its call number `poradi`
 * on (1 = the first _Send since the reset); 0 turns it off. */
FAKE_API void Fake_NastavSendVysledekOd(uint32_t poradi, uint32_t vysledek);
/* The handle _Init writes on success, and the value _Done leaves. */
FAKE_API void Fake_NastavSpojeni(uint32_t poInit, uint32_t poDone);
/* Status and answer words of _Send for a command code, parameter and register
 * (request word D2); registr -1 matches any. An exact register wins. */
FAKE_API void Fake_NastavOdpoved(uint32_t kod, uint32_t parametr, int32_t registr, uint32_t status,
                                 const uint32_t* odpoved4);
/* 0: _Send writes nothing at all (status, answer, result untouched). */
FAKE_API void Fake_NastavZapis(int zapisovat);
/* The text of _Error (Windows-1250 bytes); 99 characters or more fill
 * elements 1 to 99 with no 0 after. NULL: back to "fake chyba N". */
FAKE_API void Fake_NastavText(const char* text);
/* 1: _Init overwrites the block it was handed after recording it. */
FAKE_API void Fake_NastavPrepisBloku(int prepsat);
/* Called at every call, once recorded (NULL: none): what the program shows then. */
typedef void (*FakePriVolani)(uint32_t vstup, void* kontext);
FAKE_API void Fake_NastavPriVolani(FakePriVolani priVolani, void* kontext);
FAKE_API uint32_t Fake_PocetVolani(void);
/* Copies call number index (from 0); 0 when there is no such call. */
FAKE_API int Fake_Volani(uint32_t index, FakeVolani* cil);

#ifdef __cplusplus
}

#include "DriverLibrary.h"
#include "zr683.h"

#include <array>
#include <string>
#include <vector>

// Opens one fake library file of a directory by interface type and reaches
// its script and record. Resets the state when opened.
class FakeOvladac {
public:
    static const char* Nazev(unsigned typ) {
        static const char* const nazvy[ZR683_TYPE_COUNT] = ZR683_LIBRARY_NAMES;
        return typ < ZR683_TYPE_COUNT ? nazvy[typ] : "X";
    }
    // Whether the file is loaded in the process at all (by anybody).
    static bool JeNacten(const std::string& adresar, unsigned typ) {
        return DriverLibrary::isLoaded(adresar, Nazev(typ));
    }

    FakeOvladac(const std::string& adresar, unsigned typ) : knihovna_(adresar, Nazev(typ)) {
        Reset();
    }
    FakeOvladac(const FakeOvladac&) = delete;
    FakeOvladac& operator=(const FakeOvladac&) = delete;

    bool Otevren() const { return knihovna_.opened(); }
    // Drops this object's hold on the library (the state goes with the last one).
    void Uvolni() { knihovna_.close(); }

    void Reset() { Volej<void (*)()>("Fake_Reset"); }
    void Vysledek(FakeVstup vstup, uint32_t v) {
        Volej<void (*)(uint32_t, uint32_t)>("Fake_NastavVysledek", vstup, v);
    }
    void SendVysledek(uint32_t v) { Volej<void (*)(uint32_t)>("Fake_NastavSendVysledek", v); }
    void SendVysledekOd(uint32_t poradi, uint32_t v) {
        Volej<void (*)(uint32_t, uint32_t)>("Fake_NastavSendVysledekOd", poradi, v);
    }
    void Spojeni(uint32_t poInit, uint32_t poDone) {
        Volej<void (*)(uint32_t, uint32_t)>("Fake_NastavSpojeni", poInit, poDone);
    }
    void Odpoved(uint32_t kod, uint32_t par, int32_t reg, uint32_t status,
                 std::array<uint32_t, 4> a) {
        using F = void (*)(uint32_t, uint32_t, int32_t, uint32_t, const uint32_t*);
        Volej<F>("Fake_NastavOdpoved", kod, par, reg, status, a.data());
    }
    void Zapis(bool zapisovat) { Volej<void (*)(int)>("Fake_NastavZapis", zapisovat ? 1 : 0); }
    void Text(const char* text) { Volej<void (*)(const char*)>("Fake_NastavText", text); }
    void PrepisBloku(bool prepsat) {
        Volej<void (*)(int)>("Fake_NastavPrepisBloku", prepsat ? 1 : 0);
    }

    void PriVolani(FakePriVolani f, void* k) {
        Volej<void (*)(FakePriVolani, void*)>("Fake_NastavPriVolani", f, k);
    }
    std::vector<FakeVolani> Volani() const {
        std::vector<FakeVolani> vse;
        auto pocet = Fn<uint32_t (*)()>("Fake_PocetVolani");
        auto jedno = Fn<int (*)(uint32_t, FakeVolani*)>("Fake_Volani");
        if (pocet == nullptr || jedno == nullptr) return vse;
        vse.resize(pocet());
        for (uint32_t i = 0; i < vse.size(); ++i)
            jedno(i, &vse[i]);
        return vse;
    }
    std::vector<FakeVolani> Volani(FakeVstup vstup) const {
        std::vector<FakeVolani> vybrane;
        for (const FakeVolani& v : Volani())
            if (v.vstup == static_cast<uint32_t>(vstup)) vybrane.push_back(v);
        return vybrane;
    }

private:
    template <typename F> F Fn(const char* jmeno) const { return knihovna_.function<F>(jmeno); }
    template <typename F, typename... A> void Volej(const char* jmeno, A... a) {
        if (F f = Fn<F>(jmeno)) f(a...);
    }

    DriverLibrary knihovna_;
};

#endif /* __cplusplus */

#endif /* FAKE_OVLADAC_H */
