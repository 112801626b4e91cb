// The binding to the interface driver libraries: loading by interface type,
// the seven entry points, the three shapes of _Init, and the texts of the
// result codes.
#include "Xxxx683.h"

#include "Umisteni.h"
#include "zr683.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <cstring>

namespace {

constexpr std::array<const char*, ZR683_TYPE_COUNT> NazvyKnihoven = ZR683_LIBRARY_NAMES;

// The bound entry points (all null when nothing is bound).
using Vstupy = zr683_entry_points;

// One binding for the whole process; only the user-interface thread uses it.
struct Vazba {
    QLibrary knihovna;
    bool nactena = false;
    Vstupy vstupy{};
    QString adresar;
    std::uint64_t pocetSpojeni = 0; // InitRozhrani calls so far
};

Vazba& Stav() {
    static Vazba vazba;
    return vazba;
}

bool PlatnyTyp(std::uint8_t typ) {
    return typ < ZR683_TYPE_COUNT;
}

// Drops the entry points and unloads the library, if one is loaded.
void Uvolni() {
    Vazba& v = Stav();
    v.vstupy = Vstupy{};
    if (v.nactena) v.knihovna.unload();
    v.nactena = false;
}

QString AdresarHledani() {
    const QString& nastaveny = Stav().adresar;
    return nastaveny.isEmpty() ? Umisteni().Knihovny : nastaveny;
}

// The file in the search directory when it is there, else the bare name
// for the platform's own search path.
bool Nacti(std::uint8_t typ) {
    Vazba& v = Stav();
    const QString vAdresari = QDir(AdresarHledani()).absoluteFilePath(SouborKnihovny(typ));
    v.knihovna.setFileName(QFileInfo::exists(vAdresari) ? vAdresari : SouborKnihovny(typ));
    v.nactena = v.knihovna.load();
    return v.nactena;
}

template <typename F> bool Najdi(std::uint8_t typ, const char* vstup, F& cil) {
    const QString jmeno = NazevKnihovny(typ) + QLatin1Char('_') + QLatin1String(vstup);
    QFunctionPointer f = Stav().knihovna.resolve(jmeno.toLatin1().constData());
    cil = reinterpret_cast<F>(f);
    return f != nullptr;
}

bool NavazVstupy(std::uint8_t typ) {
    Vstupy n{};
#define ZR_NAJDI(vstup) &&Najdi(typ, #vstup, n.vstup)
    const bool vse = true ZR683_ENTRY_POINTS(ZR_NAJDI);
#undef ZR_NAJDI
    if (vse) Stav().vstupy = n;
    return vse;
}

// ---- The three shapes of _Init ---------------------------------------------

#if UINTPTR_MAX > 0xFFFFFFFFu
// Wide pointers: the block carries the IP text itself, word 0 holds its offset.
bool BlokLANPlatny(const TParametry& blok) {
    if (blok[ZR683_LAN_IP] != ZR683_LAN_TEXT_OFFSET) return false;
    const auto* bajty = reinterpret_cast<const unsigned char*>(blok.data());
    return std::memchr(bajty + ZR683_LAN_TEXT_OFFSET, 0,
                       ZR683_PARAM_BYTES - ZR683_LAN_TEXT_OFFSET) != nullptr;
}
void AdresaTextuLAN(TParametry&) {}
#else
// 32-bit pointers: word 0 is the address of the zero-terminated text.
bool BlokLANPlatny(const TParametry& blok) {
    return blok[ZR683_LAN_IP] != 0;
}
// A block that carries its text (word 0 holds the offset, as ParametryLAN
// builds it) hands the library the address of the text in the local copy.
void AdresaTextuLAN(TParametry& kopie) {
    if (kopie[ZR683_LAN_IP] != ZR683_LAN_TEXT_OFFSET) return;
    auto* bajty = reinterpret_cast<unsigned char*>(kopie.data());
    kopie[ZR683_LAN_IP] =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(bajty + ZR683_LAN_TEXT_OFFSET));
}
#endif

using VolaniInit = std::uint32_t (*)(QFunctionPointer, std::uint32_t&, TParametry&);

std::uint32_t InitSeSlovem(QFunctionPointer f, std::uint32_t& spojeni, TParametry& kopie) {
    return reinterpret_cast<zr683_init_word_fn>(f)(&spojeni, kopie[0]);
}

std::uint32_t InitBezParametru(QFunctionPointer f, std::uint32_t& spojeni, TParametry&) {
    return reinterpret_cast<zr683_init_fn>(f)(&spojeni);
}

std::uint32_t InitSBlokem(QFunctionPointer f, std::uint32_t& spojeni, TParametry& kopie) {
    AdresaTextuLAN(kopie);
    return reinterpret_cast<zr683_init_lan_fn>(f)(&spojeni, kopie.data());
}

constexpr std::array<VolaniInit, ZR683_TYPE_COUNT> TvaryInit = {
    InitSeSlovem, InitSeSlovem, InitBezParametru, InitBezParametru, InitSBlokem};

// ---- Texts of the binding's own codes ---------------------------------------

QString TextVazby(std::uint32_t kod) {
    const std::uint32_t typ = kod % 10;
    const QString dll = NazevKnihovny(static_cast<std::uint8_t>(typ)) + QStringLiteral(".DLL");
    if (typ < ZR683_TYPE_COUNT && kod / 10 == ZR683_E_LOAD / 10)
        return QStringLiteral("chyba inicializace knihovny ") + dll;
    if (typ < ZR683_TYPE_COUNT && kod / 10 == ZR683_E_ENTRY / 10)
        return QStringLiteral("chybná knihovna ") + dll;
    return QStringLiteral("neznámý chybový kód");
}

// _Error fills a scratch buffer with some room behind the 100 elements, so
// a library that writes one element too many cannot reach the caller's
// memory; only the 100 elements are copied back.
std::uint32_t TextKnihovny(std::uint32_t kod, TChybovyText& buffer) {
    std::array<std::uint32_t, DelkaChybovehoTextu + 28> prac{};
    std::copy(buffer.begin(), buffer.end(), prac.begin());
    const std::uint32_t r = Stav().vstupy.Error(kod, prac.data());
    std::copy_n(prac.begin(), buffer.size(), buffer.begin());
    return r;
}

} // namespace

QString NazevKnihovny(std::uint8_t typ) {
    return PlatnyTyp(typ) ? QString::fromLatin1(NazvyKnihoven[typ]) : QString();
}

QString SouborKnihovny(std::uint8_t typ) {
    return PlatnyTyp(typ) ? NazevKnihovny(typ) + QStringLiteral(".so") : QString();
}

void NastavAdresarKnihoven(const QString& adresar) {
    Stav().adresar = adresar;
}

std::uint32_t InitRozhrani(std::uint8_t typ, std::uint32_t& spojeni, const TParametry& parametry) {
    TParametry kopie = parametry;
    Uvolni();
    ++Stav().pocetSpojeni;
    if (!PlatnyTyp(typ)) return ZR683_E_UNBOUND;
    if (!Nacti(typ)) return ZR683_E_LOAD + typ;
    if (!NavazVstupy(typ)) {
        Uvolni();
        return ZR683_E_ENTRY + typ;
    }
    if (typ == ZR683_TYPE_LAN && !BlokLANPlatny(kopie)) return ZR683_E_REQUEST;
    spojeni = 0;
    return TvaryInit[typ](Stav().vstupy.Init, spojeni, kopie);
}

std::uint64_t PocetOtevrenychSpojeni() {
    return Stav().pocetSpojeni;
}

std::uint32_t NastavRozhrani(std::uint8_t typ, std::uint32_t spojeni, std::int32_t rychlost,
                             std::uint32_t cekani, std::uint32_t konstanta) {
    const auto f = Stav().vstupy.SetConfig;
    if (!PlatnyTyp(typ) || f == nullptr) return ZR683_E_UNBOUND;
    return f(spojeni, static_cast<std::uint32_t>(rychlost), cekani, konstanta);
}

std::uint32_t PosliRozhrani(std::uint8_t typ, std::uint32_t spojeni, const TPozadavek& pozadavek,
                            TOdpoved& odpoved, std::uint32_t& status, std::uint32_t& vysledek) {
    const auto f = Stav().vstupy.Send;
    if (!PlatnyTyp(typ) || f == nullptr) return ZR683_E_UNBOUND;
    return f(spojeni, pozadavek.data(), odpoved.data(), &status, &vysledek);
}

std::uint32_t KonecRozhrani(std::uint8_t typ, std::uint32_t& spojeni) {
    const auto f = Stav().vstupy.Done;
    if (!PlatnyTyp(typ) || f == nullptr) return ZR683_E_UNBOUND;
    const std::uint32_t r = f(&spojeni);
    Uvolni();
    return r;
}

std::uint32_t TextChyby(std::uint8_t typ, std::uint32_t kod, TChybovyText& buffer) {
    if (kod >= ZR683_E_LOAD) return TextNaBuffer(TextVazby(kod), buffer);
    if (!PlatnyTyp(typ) || Stav().vstupy.Error == nullptr) return ZR683_E_UNBOUND;
    return TextKnihovny(kod, buffer);
}

QString TextKodu(std::uint8_t typ, std::uint32_t kod) {
    TChybovyText buffer{};
    TextChyby(typ, kod, buffer);
    return BufferNaText(buffer);
}
