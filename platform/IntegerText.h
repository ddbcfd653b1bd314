#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zendrel {

// Numbers written as text. Each kind of file has its own rule, shaped by what its writers have
// always put there; all of them read their digits through ReadDigits, so no digit string, however
// long, can overflow.

// The digits at the start of a text, as far as they were read.
struct DigitRun {
    std::uint64_t value = 0;
    std::size_t length = 0; // digits read
};

// Reads digits of `base` (10 or 16) from the start of `text`, up to the first other byte or until
// the value has grown above `stopAbove` (at most UINT64_MAX / 16), whichever comes first.
DigitRun ReadDigits(std::string_view text, int base, std::uint64_t stopAbove);

// The data-file rule (zone and method tables): spaces, then an optional "-" or "+" and decimal
// digits to the end, or "$" and hexadecimal digits to the end. Anything else (a trailing blank,
// an empty text, a value outside the 32-bit signed range) is not a number.
std::optional<std::int32_t> ReadDataInteger(std::string_view text);

// The settings rule (param.txt): blanks around are ignored, then an optional sign and decimal
// digits or "0x" and hexadecimal digits, at most 15 of them, to the end.
std::optional<long long> ReadSettingsInteger(std::string_view text);

// The leading-digits rule (a count at the start of a header value): the decimal digits at the
// very start, 0 when there are none, at most INT32_MAX however many follow.
std::int32_t ReadLeadingNumber(std::string_view text);

} // namespace zendrel
