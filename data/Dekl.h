// The program's records, their defaults, the program messages, the baud-rate
// table, the error-text buffer and the settings file.
#pragma once

#include "Prikazy.h"

#include <QMap>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Configuration of one module, as its configuration registers hold it.
// In the three masks channel n is bit (n mod 8) of byte (n div 8).
struct TKonfigurace {
    std::uint8_t Adresa;
    std::uint8_t Rychlost; // baud-rate index 0 to 8
    std::uint16_t InicializacniCas;
    std::uint16_t DobaVypnutiRele;
    std::uint8_t AktivaceCasovace;
    std::array<std::uint8_t, 4> NegaceDIN;
    std::array<std::uint8_t, 4> NegaceDOUT;
    std::array<std::uint8_t, 4> PocatecniStavDOUT;
};

using TParametry = std::array<std::uint32_t, 16>;

// A module of the bus overview's list: its bus address and line rate (Bd).
struct TModulSbernice {
    std::uint8_t Adresa = 0;
    std::int32_t Rychlost = 9600;
    friend bool operator==(const TModulSbernice&, const TModulSbernice&) = default;
};

// The one program data record shared by all windows.
struct TData {
    std::uint8_t Rozhrani = 0; // 0 COM, 1 ISA, 2 PCI, 3 USB, 4 LAN
    std::uint8_t Adresa = 0;
    std::int32_t Rychlost = 0;
    std::uint16_t BazovaAdresa = 0;
    std::uint8_t CisloPortu = 0;
    QString IPAdresa;
    std::int32_t UDPPort = 0;
    std::int32_t UDPTimeout = 0;
    QString StavPripojeni;
    std::uint32_t Spojeni = 0;
    bool Inicializovano = false;
    QString Modul;
    QString ModulDoplnek;
    TParametry Parametry{};
    TKonfigurace Konfigurace{};
    // The last size of each window of the "Nástroje" menu, by its object
    // name (settings file section [Okna]).
    QMap<QString, QSize> VelikostiOken;
    // The bus overview's modules and its polling period in ms (settings
    // file section [Přehled sběrnice]).
    std::vector<TModulSbernice> Sbernice;
    std::int32_t PeriodaPrehledu = 1000;
};

// The default LAN converter address: a private-network address.
inline constexpr const char* VychoziIPAdresa = "192.168.1.100";

// Whether the record holds a usable connection: initialised, with a handle.
// Every window tests exactly this before it sends a command.
bool PripojeniPouzitelne(const TData* data);
// What a window shows when the record holds no usable connection.
QString TextNeinicializovano();

// Sets every field of the record to its default; Modul is left as it is.
// Without a record it does nothing.
void VychoziData(TData* data);
TKonfigurace VychoziKonfigurace();

// Program messages, indexed from 0.
constexpr int ZpravaVPoradku = 0;
constexpr int ZpravaNelzeVytvorit = 1;
QString ZpravaProgramu(int index);

// Baud-rate table: index 0 to 8 <-> 600 to 115200 Bd (the bus's table).
using Sbernice::RychlostiBd;
constexpr int PocetRychlosti = static_cast<int>(RychlostiBd.size());
// 9600 Bd: the list's design selection and the rate of anything unknown.
constexpr std::uint8_t VychoziIndexRychlosti = 4;
// Wait value in ms handed to the library with each rate of the table.
inline constexpr std::array<std::int32_t, PocetRychlosti> CekaniRychlosti = {
    1000, 1000, 500, 250, 200, 200, 200, 200, 200};
// The list item text of an index ("9600 Bd"); empty outside 0 to 8.
QString TextRychlosti(int index);
// The rate of an index; 9600 outside the table.
std::int32_t IndexNaRychlost(std::uint8_t index);
// The index of a rate; 4 (9600 Bd) outside the table.
std::uint8_t RychlostNaIndex(std::int32_t rychlost);
// The wait value of a rate; 20 outside the table.
std::int32_t RychlostNaCekani(std::int32_t rychlost);

// For the LAN converter: fills Parametry with the IP text, UDP port and
// time-out in the layout the LAN library expects (see contract/zr683.h). Returns
// false, leaving Parametry all 0, when the text does not fit into the block.
bool ParametryLAN(TData& data);
// Fills Parametry for the record's interface type from its settings: word 0
// the COM port number `cisloPortu` (as given: it may exceed the 8 bits the
// record keeps) or the ISA base address, the LAN block of ParametryLAN, all 0
// for the other types. False when the LAN text does not fit.
bool NaplnParametry(TData& data, std::uint32_t cisloPortu);

// A list of modules as "ADDR:RATE" items separated by commas, blanks or line
// ends ("1:9600, 5:19200"); an item without ":RATE" is at 9600 Bd. Nothing
// when an item is no address 0 to 255 or its rate is not in the table.
std::optional<std::vector<TModulSbernice>> TextNaSeznamModulu(const QString& text);
// The list as TextNaSeznamModulu reads it ("1:9600, 5:19200").
QString SeznamModuluNaText(const std::vector<TModulSbernice>& moduly);

// ---- Error-text buffer ----------------------------------------------------

constexpr int DelkaChybovehoTextu = 100;
using TChybovyText = std::array<std::uint32_t, DelkaChybovehoTextu>;

// Clears the buffer and stores at most 99 characters from element 1 on, as
// Windows-1250 codes. Returns 0.
std::uint32_t TextNaBuffer(const QString& text, TChybovyText& buffer);
// The text of a buffer: element 0 may hold the first character or be 0.
QString BufferNaText(const TChybovyText& buffer);

// ---- Settings file ---------------------------------------------------------

// The file's path is the caller's: link/Umisteni.h gives the running
// program's (beside the executable, or in the user's configuration folder).

// The largest settings file that is read; a bigger one is refused as one
// that cannot be read.
constexpr qint64 NejvetsiSouborNastaveni = 1024 * 1024;

// Overlays the connection settings of the record with the file's values,
// and takes the windows' sizes of its section [Okna] ("Name=WIDTHxHEIGHT")
// and the bus overview's list and period of [Přehled sběrnice] (a list that
// does not parse is left out).
// True when the file held an interface name. A file that exists but cannot
// be used (no regular file, a link to nothing or refused, too big,
// unreadable) is read as missing; then *duvod (if given) says why.
bool NactiNastaveni(TData* data, const QString& cesta, QString* duvod = nullptr);

// Writes the connection settings of the record's interface type, the
// windows' sizes and the bus overview's list, keeping everything else in the file. False when there
// is no record or the file cannot be written; then *chyba (if given) names the file and the reason,
// and an existing file is left as it was.
bool UlozNastaveni(TData* data, const QString& cesta, QString* chyba = nullptr);
