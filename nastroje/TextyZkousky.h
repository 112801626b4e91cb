// The words of the commissioning test, made in one place for its window,
// zr464-cli commission and the report: the names of the steps, their results,
// what was measured and the verdict.
#pragma once

#include "ZkouskaModulu.h"

#include <QString>
#include <cstdint>
#include <vector>

// "Identifikace modulu", "DOUT7 → DIN7" (with the fixture), "DOUT7".
QString NazevKroku(TDruhKroku druh, int kanal, bool propojeni);
// "prošlo", "selhalo", "přeskočeno".
QString TextVysledkuKroku(TVysledekKroku v);
// "prošlo", "selhalo", "nedokončeno".
QString TextVerdiktu(TVerdikt v);

// The channels of the set bits: "DIN3, DIN7"; `predpona` names them.
QString SeznamKanalu(const QString& predpona, std::uint32_t bity);
// The named bits of a status value: "PWR, PRF", "žádný" for none.
QString TextBituStatusu(std::uint32_t status);

QString TextIdentifikace(const TIdentifikace& id);
QString TextKonfigurace(int registru, const std::vector<TRozdilKonfigurace>& rozdily,
                        bool sSouborem);
// An input that followed its output (ms), or the inputs that differ;
// `vKlidu`: the channel's input read wrong with all outputs off;
// `nehodnoceno`: other inputs that did, which the step leaves out.
QString TextVystupu(std::uint32_t precteno, std::uint32_t ocekavano, qint64 ms,
                    std::uint32_t vKlidu, std::uint32_t nehodnoceno);
QString TextPotvrzeni(TVysledekKroku odpoved);
QString TextVstupu(std::uint32_t videne);
// The count set, the time watched, the count read and what it should be.
QString TextWatchdogu(std::uint16_t nastaveno, qint64 ms, std::uint16_t precteno, double ocekavano);
QString TextWatchdogVypnut();
QString TextStatusu(std::uint32_t pred, std::uint32_t po);
QString TextObnoveni(std::uint32_t vystupy);
QString TextZastaveni();
