// The Czech texts of the result codes, as _Error hands them out: Windows-1250
// character codes, one per element of the 100-element buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zrbus {

// The most characters a text can have in _Error's buffer (element 0 stays 0).
inline constexpr std::size_t kMaxErrorChars = 99;

// The text of a code in UTF-8 (as written in the source).
std::string_view textOf(std::uint32_t code);

// UTF-8 to Windows-1250 for the characters the texts use (ASCII and the
// Czech letters); any other character becomes '?'.
std::string toWindows1250(std::string_view utf8);

// Fills the buffer with the code's text: all 100 elements 0, the text from
// element 1 on, at most 99 characters. Returns 0, or kNullArgument.
// The detail of the last failure (below) replaces the plain text of its code.
std::uint32_t fillErrorBuffer(std::uint32_t code, std::uint32_t* buffer);

// Records a detailed text (UTF-8) for the code of the library's last
// failure, e.g. one that names the device; it holds until the next call.
// Each library links its own copy of the core, so each keeps its own.
void setErrorDetail(std::uint32_t code, std::string text);

} // namespace zrbus
