// Identification of a module: five commands 200 (name characters 1-4 and
// 5-8, version, supplementary characters 1-4 and 5-8), each carrying the
// status byte of the previous answer in D1.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

struct TIdentifikace {
    std::uint8_t Vysledek = 0; // 0, or the code of the command that failed
    QString Nazev;             // 8 characters
    QString Verze;             // 4 characters ("1.04")
    QString Doplnek;           // 8 characters
    bool Ok() const { return Vysledek == 0; }
    // The module's text as the program shows it: name, " v.", version.
    QString Modul() const { return Nazev + QStringLiteral(" v.") + Verze; }
};

// Characters the module sent, one byte each, in the program's code page.
QString ZnakyModulu(const QByteArray& bajty);

// Whether firmware of this version keeps the watchdog initialisation time in
// one byte (1-255 s): versions 1.00, 1.01 and 1.02.
bool JednobajtovyInicializacniCas(const QString& verze);

// Asks the module at the address for its identification; stops at the first
// command that fails (the texts stay empty then). The characters are bytes of
// the program's code page.
TIdentifikace IdentifikujModul(std::uint8_t typ, std::uint32_t spojeni, std::uint8_t adresa);
