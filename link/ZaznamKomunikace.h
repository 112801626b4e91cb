// The traffic log: every transaction of the program, as the observer of
// PosliPrikaz hands it over, in a ring of fixed size. Recording a row copies
// 32 bytes into memory taken once (on the first row), so the transaction
// path pays nothing more; the oldest rows give way when the ring is full.
// Every row gets a sequence number that grows for the program's lifetime, by
// which a view asks for what came since it last looked.
//
// Beside the ring: the filter of the log window, the texts of a row's
// columns and the CSV file of rows, shared by the window and its file.
#pragma once

#include "Xxxx683.h"

#include <QHash>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class QIODevice;

// One transaction as the log keeps it.
struct TRadekKomunikace {
    std::int64_t CasUs = 0;     // when it ended: wall clock, us since the epoch
    std::uint32_t TrvaniUs = 0; // the time the library took
    std::uint8_t Rozhrani = 0;
    std::uint8_t Adresa = 0;
    std::uint8_t Kod = 0;
    std::uint8_t Parametr = 0;
    TDataPrikazu D{}; // D1 to D5 as sent
    std::uint8_t Vysledek = 0;
    std::uint8_t S = 0;
    std::array<std::uint8_t, 4> A{};
    bool Ok() const { return Vysledek == 0; }
};

class TZaznamKomunikace {
public:
    // 100 000 rows of 32 bytes: 3.2 MB.
    static constexpr std::size_t VychoziKapacita = 100000;

    explicit TZaznamKomunikace(std::size_t kapacita = VychoziKapacita);

    void Zaznamenej(const TZaznamPrikazu& z, std::chrono::system_clock::time_point kdy);
    // Drops every row kept; the numbers go on from where they were.
    void Vymaz() { Prvni = Dalsi; }

    std::size_t Kapacita() const { return Velikost; }
    // The number of the oldest row kept and of the row to come.
    std::uint64_t PrvniCislo() const { return Prvni; }
    std::uint64_t DalsiCislo() const { return Dalsi; }
    std::size_t Pocet() const { return static_cast<std::size_t>(Dalsi - Prvni); }
    // Row number `cislo`, PrvniCislo() <= cislo < DalsiCislo().
    const TRadekKomunikace& Radek(std::uint64_t cislo) const {
        return Radky[static_cast<std::size_t>(cislo % Velikost)];
    }

private:
    std::size_t Velikost;
    std::vector<TRadekKomunikace> Radky;
    std::uint64_t Prvni = 0;
    std::uint64_t Dalsi = 0;
};

// Which rows the log window shows: an address, a command of the set (code
// and parameter), failures only; an unset part lets every row through.
struct TFiltrKomunikace {
    std::optional<std::uint8_t> Adresa;
    std::optional<std::pair<std::uint8_t, std::uint8_t>> Prikaz;
    bool JenChyby = false;
    bool Propusti(const TRadekKomunikace& r) const;
};

// The texts of result codes, asked of the library once per interface type
// and code (the library may be gone by the time a row is shown again).
class TTextyKodu {
public:
    const QString& Text(std::uint8_t typ, std::uint8_t kod);

private:
    QHash<int, QString> Texty;
};

// The columns of a row, in the window's order.
enum class TSloupecKomunikace {
    Cas,
    Adresa,
    Prikaz,
    Nazev,
    Data,
    Vysledek,
    S,
    Odpoved,
    Doba,
};
inline constexpr int PocetSloupcuKomunikace = 9;
// Their captions.
QString NadpisSloupceKomunikace(TSloupecKomunikace sloupec);
// The text of a row's column: the time of day with ms, the address, "kód/
// parametr", the command's name, D1-D5 in decimal, "kód: text", S and A1-A4
// in hexadecimal, the library's time in ms.
QString TextBunkyKomunikace(const TRadekKomunikace& r, TSloupecKomunikace sloupec,
                            TTextyKodu& texty);

// Writes the rows as CSV, UTF-8, after a header line: the time (ISO 8601,
// local time with milliseconds and offset), address, code, parameter, name,
// D1 to D5, result code and its text, S and A1 to A4 in hexadecimal, the
// library's time in ms. False when the device refused to write.
bool ZapisCsvKomunikace(std::span<const TRadekKomunikace> radky, TTextyKodu& texty, QIODevice& cil);
