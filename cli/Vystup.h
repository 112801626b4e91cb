// Where the program's results, errors and trace lines go: text lines or
// JSON on standard output, messages on standard error.
#pragma once

#include "StatistikaSpojeni.h"
#include "Xxxx683.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <chrono>
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

// A local time as JSON gives it: ISO 8601 with milliseconds and the UTC
// offset ("2024-05-01T10:00:00.000+02:00").
QString CasSPosunem(const QDateTime& cas);
QString CasSPosunem(std::chrono::system_clock::time_point cas);

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
    // A warning on standard error ("varování: text"); in JSON mode every
    // document and JSON line that follows carries it in "varovani" too.
    void Varovani(const QString& text);
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
    QStringList Varovani_;
};
