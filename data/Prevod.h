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

// Text from outside (a module's identification) as a terminal or a text
// file may show it: control characters and characters outside printable
// text are written as "\x1B" (or "\u{FFFD}" above 0xFF), a backslash as
// "\\", so the text can neither move a cursor nor break a line, and reads
// back unambiguously.
QString ZobrazitelnyText(const QString& text);
