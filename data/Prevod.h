// Integer conversion of edit texts: decimal with an optional sign, or
// hexadecimal after "$" or "0x"/"0X" (the digits taken as a 32-bit pattern).
// Leading blanks are skipped; anything else, or a value outside 32 bits, is
// not a number. Any text of any length is safe.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

std::optional<std::int32_t> TextNaCislo(const QString& text);

// The number of the text, or the default when the text is not a number.
std::int32_t StrToIntDef(const QString& text, std::int32_t vychozi);
