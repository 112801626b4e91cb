// Where the program's results, errors and trace lines go: text lines or
// JSON on standard output, messages on standard error.
#pragma once

#include "StatistikaSpojeni.h"
#include "Xxxx683.h"

#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <ostream>

// A failed step: what was being done, the result code and its text, and the
// exit code it leads to.
struct TChyba {
    QString Krok;
    std::uint32_t Kod = 0; // result code of the library, 0 when there is none
    QString Text;
    int KodUkonceni = 1;
};

// "krok: text (kód N)" as one line.
QString PopisChyby(const TChyba& chyba);
QJsonObject JsonChyby(const TChyba& chyba);

class TVystup {
public:
    TVystup(std::ostream& out, std::ostream& err, bool json) : Out(out), Err(err), JeJson(json) {}

    bool Json() const { return JeJson; }
    // A line of the text output (ignored in JSON mode).
    void Radek(const QString& text);
    // The one JSON document of a subcommand.
    void Dokument(const QJsonObject& dokument);
    // One line of JSON Lines (the repeated output of --watch).
    void RadekJson(const QJsonObject& objekt);
    // A message on standard error.
    void Hlaseni(const QString& text);
    // The error on standard error; in JSON mode also as the document
    // {"chyba": {...}} on standard output. Returns its exit code.
    int Chyba(const TChyba& chyba);
    // One transaction on standard error (--trace).
    void Stopa(const TZaznamPrikazu& zaznam);
    // The summary of every transaction on standard error (--stats): text
    // lines, or one line {"statistika": {...}} in JSON mode.
    void Statistika(const TSouhrnSpojeni& souhrn);
    // Raw text on standard error without a line end (progress).
    void Prubeh(const QString& text);

private:
    std::ostream& Out;
    std::ostream& Err;
    bool JeJson;
};
