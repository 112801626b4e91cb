// The outcome texts of the module tools, made in one place for the windows
// and zr464-cli alike: where and why a register sequence stopped, a fault of
// a .cfm file, the firmware-version check, the read-back after a write, the
// bus scan's summary and the head of a saved .cfm file. The engines return
// data; these functions turn it into words. A window's status line begins
// with a blank (RadekSekvence and the like); the command line takes the
// parts (MistoSekvence, DuvodSekvence) into its own "step: text" lines.
#pragma once

#include "Cfm.h"
#include "KonfiguraceModulu.h"
#include "RelaceModulu.h"
#include "Sekvence.h"
#include "Sken.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// Where a sequence stopped: "krok, registr R"; an interruption, which
// happens between registers, names the step alone, unless `zapsano` (the
// configuration a write sends) is given: then it names the register.
QString MistoSekvence(const QString& krok, const TVysledekSekvence& v,
                      const TKonfigurace* zapsano = nullptr);
// Why: "přerušeno", "Chyba zápisu dat. (přečteno V)", or the library's text.
// With `zapsano` a write error names the value written too, and an
// interruption that the register may already hold its new value.
QString DuvodSekvence(std::uint8_t typ, const TVysledekSekvence& v,
                      const TKonfigurace* zapsano = nullptr);
// A window's status line: " místo: důvod", " krok: přerušeno.", or the
// text of a record without a usable connection.
QString RadekSekvence(std::uint8_t typ, const QString& krok, const TVysledekSekvence& v);

// A register whose read-back gave another value than the one written.
QString TextChybyZapisu(std::uint8_t precteno);
// The outcome of writing one register with its read-back; empty on success.
QString TextZapisuRegistru(const TZapisRegistru& z);

// A firmware that does not take the file's initialisation time:
// "modul verze V dovoluje inicializační čas 1-255 s, soubor udává T s".
QString TextVerze(const TKontrolaVerze& v, std::uint16_t inicializacniCas);
// The new address of a write is taken at the new rate:
// "adresa A při R Bd je obsazena (modul M)".
QString TextObsazeneAdresy(const TKontrolaVerze& v, const TKonfigurace& k);
// The whole configuration read again after a write found a register that no
// longer holds the value written.
QString TextOvereni(const TVysledekSekvence& v, const TKonfigurace& zapsana);

// The line of a .cfm fault: "řádek N", empty for the file as a whole.
QString MistoCfm(const TChybaCfm& chyba);
// A value a file may not hold, found in the text about to be saved.
QString TextNeplatneHodnoty(const TChybaCfm& chyba);
// The comment lines at the head of a saved file: who saved it (`puvod`,
// empty for the program), the module, its address and rate, the time.
QStringList HlavickaCfm(const QString& puvod, const QString& modul, std::uint8_t adresa,
                        std::int32_t rychlost);

// "Nalezeno modulů: N (sond H z C)", ", nepotvrzených odpovědí: U" when
// there are any, ", přerušeno" when it was stopped.
QString TextSouhrnuSkenu(const TVysledekSkenu& v, int celkem);
// What an address from which only damaged answers came may mean.
QString TextJenPoskozena();
// An address that answered the probe but could not be identified, or gave
// only damaged answers.
QString TextNepotvrzene(std::uint8_t typ, const TNepotvrzenaOdpoved& n);
// The line could not be set to a rate: " Nastavení rychlosti R Bd: text".
QString RadekNastaveniLinky(std::uint8_t typ, std::int32_t rychlost, std::uint32_t kod);
