// One command sent by hand (the command window, zr464-cli send): any code,
// parameter and data bytes to any address over the open connection, its
// answer with the time it took, and the words for the answer that the window
// and the command line share.
#pragma once

#include "RelaceModulu.h"
#include "StatistikaSpojeni.h"
#include "Xxxx683.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

struct TRucniPrikaz {
    std::uint8_t Adresa = 0;
    std::uint8_t Kod = 0;
    std::uint8_t Parametr = 0;
    TDataPrikazu D{};
};

struct TOdpovedRucni {
    TOdpovedModulu Odpoved;
    std::chrono::microseconds Doba{0}; // round trip as the caller saw it
};

// Sends the command to its address over the session's connection.
TOdpovedRucni OdesliRucne(TRelaceModulu& relace, const TRucniPrikaz& prikaz);
// Counts one answer into the counts of a repeated command.
void Zapocitej(TStatistikaSpojeni& statistika, const TRucniPrikaz& prikaz,
               const TOdpovedRucni& odpoved);

// A write of the module's own baud rate or bus address (register 62 or 63)
// asks first: the question naming the new value; empty for any other command.
QString OtazkaZapisu(const TRucniPrikaz& prikaz);

// "200/0 (identifikace: název 1-4)"; a command outside the set has no name.
QString TextPrikazu(std::uint8_t kod, std::uint8_t parametr);
// The names of the status register's bits set in the value.
QStringList NazvyBituStatusu(std::uint32_t hodnota);
// S in hexadecimal with the names of its set bits: "0x30 (PWR RST)".
QString TextS(std::uint8_t s);
// A1 to A4 three ways: "0x5A 0x52 0x2D 0x34", "90 82 45 52", and as the
// module's characters ("ZR-4"), a control character as a full stop.
QString HexOdpovedi(const std::array<std::uint8_t, 4>& a);
QString DesitkoveOdpovedi(const std::array<std::uint8_t, 4>& a);
QString ZnakyOdpovedi(const std::array<std::uint8_t, 4>& a);
// D1 to D5 in decimal: "0 63 63 0 0".
QString TextDat(const TDataPrikazu& d);
// A time in ms with two decimals and the separator given.
QString TextMs(double ms, QChar carka = u'.');
// The summary of a repeated command: "odesláno 10, neúspěšných 1; doba
// odezvy ms: min 0.12, medián 0.20, 95 % 0.31, max 0.40".
QString TextOpakovani(const TSouhrnSpojeni& souhrn, QChar carka = u'.');

// What the command window sent since the program started, newest last.
struct TOdeslanyPrikaz {
    QDateTime Cas;
    TRucniPrikaz Prikaz;
    int Opakovani = 1;
    std::uint8_t Vysledek = 0; // of the last answer
};
using THistoriePrikazu = std::vector<TOdeslanyPrikaz>;
