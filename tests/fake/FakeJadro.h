// The inside of the fake driver library: the seven entry points without
// their names. FakeExport.cpp gives them the names of one library file.
#pragma once

#include <cstdint>

namespace fake {

std::uint32_t Version();
std::uint32_t InitSlovo(std::uint32_t* spojeni, std::uint32_t slovo0);
std::uint32_t InitBez(std::uint32_t* spojeni);
std::uint32_t InitBlok(std::uint32_t* spojeni, const std::uint32_t* blok);
std::uint32_t SetConfig(std::uint32_t spojeni, std::uint32_t baud, std::uint32_t cekani,
                        std::uint32_t konstanta);
std::uint32_t GetConfig(std::uint32_t spojeni, std::uint32_t* baud, std::uint32_t* cekani,
                        std::uint32_t* konstanta);
std::uint32_t Send(std::uint32_t spojeni, const std::uint32_t* pozadavek, std::uint32_t* odpoved,
                   std::uint32_t* status, std::uint32_t* vysledek);
std::uint32_t Done(std::uint32_t* spojeni);
std::uint32_t Error(std::uint32_t kod, std::uint32_t* buffer);

} // namespace fake
