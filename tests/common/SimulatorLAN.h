// End-to-end tests: the record set to reach the simulator's LAN converter on
// a loopback port through the real libraries of the build (ZR_BIN_DIR).
#pragma once

#include "Dekl.h"
#include "Xxxx683.h"

inline void DataProSimulator(TData& data, int port) {
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    VychoziData(&data);
    data.Rozhrani = 4;
    data.IPAdresa = QStringLiteral("127.0.0.1");
    data.UDPPort = port;
}
