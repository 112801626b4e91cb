// The binding to the interface driver libraries and the command transaction.
// One library is bound at a time, for the whole process; only the
// user-interface thread calls in here.
#pragma once

#include "Dekl.h"
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>

using TPozadavek = std::array<std::uint32_t, 100>;
using TOdpoved = std::array<std::uint32_t, 100>;

// The library file name of an interface type without suffix ("XCOM683"),
// empty above 4.
QString NazevKnihovny(std::uint8_t typ);

// The library's file name ("XCOM683.so"), empty above 4.
QString SouborKnihovny(std::uint8_t typ);

// The directory searched first for the libraries; empty (the default) means
// the folder link/Umisteni.h gives: beside the executable for a portable
// copy, the private library folder for an installed one.
void NastavAdresarKnihoven(const QString& adresar);

// Loads and binds the library of the type and calls its _Init.
// Result: _Init's result, 100+type, 110+type, 9 (a LAN block whose IP text
// does not fit) or 10 (type above 4).
std::uint32_t InitRozhrani(std::uint8_t typ, std::uint32_t& spojeni, const TParametry& parametry);
// How many times InitRozhrani has been called in this process. Each call
// ends the connection before it, so a new number means a new connection.
std::uint64_t PocetOtevrenychSpojeni();
// Calls _SetConfig(handle, baud, wait, constant).
std::uint32_t NastavRozhrani(std::uint8_t typ, std::uint32_t spojeni, std::int32_t rychlost,
                             std::uint32_t cekani, std::uint32_t konstanta);
// Calls _Send with the request block, answer area, status and result.
std::uint32_t PosliRozhrani(std::uint8_t typ, std::uint32_t spojeni, const TPozadavek& pozadavek,
                            TOdpoved& odpoved, std::uint32_t& status, std::uint32_t& vysledek);
// Calls _Done and then unloads the library, whatever _Done returned.
std::uint32_t KonecRozhrani(std::uint8_t typ, std::uint32_t& spojeni);
// Fills the buffer with the text of a code.
std::uint32_t TextChyby(std::uint8_t typ, std::uint32_t kod, TChybovyText& buffer);

// One command transaction. D1..D5 go out as data bytes and come back as
// S, A1..A4 on success, all 0 otherwise. A null data-byte or answer-area
// pointer gives result 9 without a library call. A zero handle does nothing.
void PosliPrikaz(std::uint8_t typ, std::uint32_t spojeni, std::uint8_t adresa, std::uint8_t kod,
                 std::uint8_t parametr, std::uint8_t* d1, std::uint8_t* d2, std::uint8_t* d3,
                 std::uint8_t* d4, std::uint8_t* d5, std::uint8_t* vysledek, TOdpoved* odpoved);

// The outcome of one command transaction.
struct TOdpovedModulu {
    std::uint8_t Vysledek = 0;       // result code, 0 on success
    std::uint8_t S = 0;              // status byte
    std::array<std::uint8_t, 4> A{}; // answer bytes A1 to A4
    bool Ok() const { return Vysledek == 0; }
    // A1 to A4 as one 32-bit value, A1 the lowest byte.
    std::uint32_t Slovo() const;
};
using TDataPrikazu = std::array<std::uint8_t, 5>; // D1 to D5

// Four bytes, the first the lowest, as one 32-bit value (the module's answer
// bytes, a channel mask of TKonfigurace) and back.
std::uint32_t Slovo32(const std::array<std::uint8_t, 4>& bajty);
std::array<std::uint8_t, 4> Bajty32(std::uint32_t slovo);
// The data bytes of a command that carries a value in D2 to D5, D2 its lowest
// byte, and D1 = 0 (the outputs, the watchdog time).
TDataPrikazu DataSlova(std::uint32_t slovo);

// PosliPrikaz returning its outcome; S and A1..A4 are 0 unless it succeeded.
// A zero handle sends nothing and gives result 10 (no library bound).
TOdpovedModulu ProvedPrikaz(std::uint8_t typ, std::uint32_t spojeni, std::uint8_t adresa,
                            std::uint8_t kod, std::uint8_t parametr, const TDataPrikazu& d);
// The same to the record's module, over its interface and connection.
TOdpovedModulu ProvedPrikaz(const TData& data, std::uint8_t kod, std::uint8_t parametr,
                            const TDataPrikazu& d);

// One transaction as it went over the interface: what was sent, what came
// back and how long the library took. Handed to the observer of
// NastavPozorovatelePrikazu after every transaction that reached a library.
struct TZaznamPrikazu {
    std::uint8_t Rozhrani = 0;
    std::uint8_t Adresa = 0;
    std::uint8_t Kod = 0;
    std::uint8_t Parametr = 0;
    TDataPrikazu Odeslano{}; // D1 to D5 as sent
    TOdpovedModulu Odpoved;  // result, S and A1 to A4 as PosliPrikaz hands them back
    std::chrono::microseconds Trvani{0};
};
using TPozorovatelPrikazu = std::function<void(const TZaznamPrikazu&)>;

// Sets the one observer of all transactions (an empty function: none).
void NastavPozorovatelePrikazu(TPozorovatelPrikazu pozorovatel);

// The text of a code as the windows show it: TextChyby then BufferNaText.
QString TextKodu(std::uint8_t typ, std::uint32_t kod);
