#pragma once

#include <string>
#include <string_view>

namespace zendrel {

// Letter case and digits of texts that are bytes in no particular encoding: settings keys, file
// lines, HTTP fields, names. Only the ASCII letters A-Z and a-z have a case here, whatever the
// locale, so every byte above 127 stays exactly as it was.

// `text` without the bytes of code 32 or below (blanks, control characters) at either end.
std::string_view TrimBlanks(std::string_view text);

// `c` with A-Z made small.
inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A copy of `text` with A-Z made small, or a-z made capital.
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);

// Lower-cases `text` in place.
void LowerCaseInPlace(std::string& text);

// Whether `a` and `b` are equal but for the case of ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);

// The value of a hexadecimal digit (either case), or -1 for any other byte.
int HexDigitValue(char c);

} // namespace zendrel
