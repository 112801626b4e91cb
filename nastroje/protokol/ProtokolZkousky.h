// The report of a commissioning test: when, by whom, on which PC and with
// which version of the program, over which interface, the module's
// identification, address and rate, its configuration, every step with its
// result and values, the verdict and a line for the signature. Written as an
// A4 PDF (Czech, black on white) and as JSON beside it.
#pragma once

#include "ZkouskaModulu.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

struct TProtokolZkousky {
    QDateTime Cas;
    QString Obsluha;
    QString Pocitac;
    QString Rozhrani; // the interface and its settings, in words
    std::uint8_t Adresa = 0;
    std::int32_t Rychlost = 0;
    bool Propojeni = false;
    QString SouborOcekavane; // the intended configuration's file, if any
    std::uint32_t ObnovitVystupy = 0;
    TVysledekZkousky Vysledek;
};

// The report of a test on the record's connection, made now on this PC.
TProtokolZkousky NovyProtokol(const TData& data, const TNastaveniZkousky& nastaveni,
                              const TVysledekZkousky& vysledek, const QString& obsluha);

// The interface of the record and its settings: "LAN konvertor, IP
// 127.0.0.1, UDP port 5000, timeout 100 ms".
QString TextRozhrani(const TData& data);

QString HtmlProtokolu(const TProtokolZkousky& p);
QJsonObject JsonProtokolu(const TProtokolZkousky& p);

// The JSON file beside a PDF: the same name with ".json" in place of ".pdf".
QString CestaJson(const QString& pdf);
// Writes the PDF (and with `json` the JSON beside it), each replaced whole
// or not at all; false with the reason in `chyba`. Needs a QGuiApplication.
bool UlozProtokol(const QString& pdf, const TProtokolZkousky& p, bool json, QString& chyba);
