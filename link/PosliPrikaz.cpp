// One command transaction: eight byte values out, a result code, the status
// byte and four answer bytes back.
#include "Xxxx683.h"

#include "zr683.h"

#include <algorithm>

namespace {

TPozorovatelPrikazu& Pozorovatel() {
    static TPozorovatelPrikazu pozorovatel;
    return pozorovatel;
}

void OznamPrikaz(std::uint8_t typ, const TPozadavek& pozadavek, std::uint8_t vysledek,
                 const std::array<std::uint8_t*, ZR683_DATA_BYTES>& data,
                 std::chrono::steady_clock::duration trvani) {
    TZaznamPrikazu z;
    z.Rozhrani = typ;
    z.Adresa = static_cast<std::uint8_t>(pozadavek[ZR683_REQ_ADDRESS]);
    z.Kod = static_cast<std::uint8_t>(pozadavek[ZR683_REQ_COMMAND]);
    z.Parametr = static_cast<std::uint8_t>(pozadavek[ZR683_REQ_PARAMETER]);
    for (std::size_t i = 0; i < z.Odeslano.size(); ++i)
        z.Odeslano[i] = static_cast<std::uint8_t>(pozadavek[ZR683_REQ_DATA + i]);
    z.Odpoved.Vysledek = vysledek;
    z.Odpoved.S = *data[0];
    for (std::size_t i = 0; i < z.Odpoved.A.size(); ++i)
        z.Odpoved.A[i] = *data[i + 1];
    z.Trvani = std::chrono::duration_cast<std::chrono::microseconds>(trvani);
    Pozorovatel()(z);
}

std::uint8_t NizsiBajt(std::uint32_t slovo) {
    return static_cast<std::uint8_t>(slovo & 0xFFu);
}

// The code a non-zero return of _Send whose low byte is 0 stands for: above
// the libraries' codes, so its text is the program's "unknown code" text.
constexpr std::uint8_t NeznamyKodKnihovny = 0xFF;

// The result byte: the low byte of a non-zero return of _Send, else the low
// byte of the result variable. A library may write only that byte and leave
// the rest of the variable as it was. A non-zero return must not read as
// success because its low byte happens to be 0.
std::uint8_t BajtVysledku(std::uint32_t navrat, std::uint32_t vysledek) {
    if (navrat == ZR683_OK) return NizsiBajt(vysledek);
    const std::uint8_t bajt = NizsiBajt(navrat);
    return bajt != ZR683_OK ? bajt : NeznamyKodKnihovny;
}

} // namespace

void PosliPrikaz(std::uint8_t typ, std::uint32_t spojeni, std::uint8_t adresa, std::uint8_t kod,
                 std::uint8_t parametr, std::uint8_t* d1, std::uint8_t* d2, std::uint8_t* d3,
                 std::uint8_t* d4, std::uint8_t* d5, std::uint8_t* vysledek, TOdpoved* odpoved) {
    if (spojeni == 0 || vysledek == nullptr) return;
    const std::array<std::uint8_t*, ZR683_DATA_BYTES> data = {d1, d2, d3, d4, d5};
    for (std::uint8_t* d : data) {
        if (d == nullptr || odpoved == nullptr) {
            *vysledek = ZR683_E_REQUEST;
            return;
        }
    }

    TPozadavek pozadavek{};
    pozadavek[ZR683_REQ_ADDRESS] = adresa;
    pozadavek[ZR683_REQ_COMMAND] = kod;
    pozadavek[ZR683_REQ_PARAMETER] = parametr;
    for (std::size_t i = 0; i < data.size(); ++i)
        pozadavek[ZR683_REQ_DATA + i] = *data[i];

    // Cleared here so that a library which writes nothing leaves nothing stale.
    std::uint32_t status = 0;
    std::uint32_t vysledekKnihovny = 0;
    odpoved->fill(0);
    const auto zacatek = std::chrono::steady_clock::now();
    const std::uint32_t r =
        PosliRozhrani(typ, spojeni, pozadavek, *odpoved, status, vysledekKnihovny);
    const auto trvani = std::chrono::steady_clock::now() - zacatek;
    *vysledek = BajtVysledku(r, vysledekKnihovny);

    const bool ok = *vysledek == ZR683_OK;
    *data[0] = ok ? NizsiBajt(status) : 0;
    for (std::size_t i = 1; i < data.size(); ++i)
        *data[i] = ok ? NizsiBajt((*odpoved)[i - 1]) : 0;
    if (Pozorovatel()) OznamPrikaz(typ, pozadavek, *vysledek, data, trvani);
}

void NastavPozorovatelePrikazu(TPozorovatelPrikazu pozorovatel) {
    Pozorovatel() = std::move(pozorovatel);
}

TOdpovedModulu ProvedPrikaz(std::uint8_t typ, std::uint32_t spojeni, std::uint8_t adresa,
                            std::uint8_t kod, std::uint8_t parametr, const TDataPrikazu& d) {
    TOdpovedModulu o;
    o.Vysledek = ZR683_E_UNBOUND;
    TDataPrikazu b = d;
    TOdpoved odpoved{};
    PosliPrikaz(typ, spojeni, adresa, kod, parametr, &b[0], &b[1], &b[2], &b[3], &b[4], &o.Vysledek,
                &odpoved);
    o.S = b[0];
    std::copy(b.begin() + 1, b.end(), o.A.begin());
    if (!o.Ok()) o = TOdpovedModulu{o.Vysledek, 0, {}};
    return o;
}

TOdpovedModulu ProvedPrikaz(const TData& data, std::uint8_t kod, std::uint8_t parametr,
                            const TDataPrikazu& d) {
    return ProvedPrikaz(data.Rozhrani, data.Spojeni, data.Adresa, kod, parametr, d);
}

std::uint32_t Slovo32(const std::array<std::uint8_t, 4>& b) {
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::array<std::uint8_t, 4> Bajty32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

TDataPrikazu DataSlova(std::uint32_t slovo) {
    const std::array<std::uint8_t, 4> b = Bajty32(slovo);
    return {0, b[0], b[1], b[2], b[3]};
}

std::uint32_t TOdpovedModulu::Slovo() const {
    return Slovo32(A);
}
