#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zendrel {

// The text rules shared by the zone table, the method table and reply classification. Texts are
// bytes; no encoding is assumed.

// `text` without the bytes of code 32 or below (blanks, control characters) at either end.
std::string_view TrimBlanks(std::string_view text);

// A copy of `text` with the ASCII capitals A-Z made small; every other byte is kept.
std::string LowerCase(std::string_view text);

// Lower-cases `text` in place (ASCII A-Z only).
void LowerCaseInPlace(std::string& text);

// Reads a number written in a data file: blanks, then an optional "-" or "+" and decimal digits
// to the end, or "$" and hexadecimal digits to the end. Anything else (a trailing blank, an empty
// text, a value outside the 32-bit signed range) is not a number.
std::optional<int32_t> ReadDataInteger(std::string_view text);

} // namespace zendrel
