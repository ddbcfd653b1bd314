#include "platform/IntegerText.h"

#include "platform/AsciiText.h"

#include <algorithm>

namespace zendrel {

namespace {

constexpr std::uint64_t kInt32Max = INT32_MAX;

// Takes a leading "-" or "+" off `text`; true for "-".
bool takeSign(std::string_view& text) {
    if (text.empty() || (text[0] != '-' && text[0] != '+'))
        return false;
    const bool negative = text[0] == '-';
    text.remove_prefix(1);
    return negative;
}

// The value of `text` when it is nothing but digits of `base`, at most `limit`.
std::optional<std::uint64_t> wholeDigits(std::string_view text, int base, std::uint64_t limit) {
    const DigitRun run = ReadDigits(text, base, limit);
    if (run.length == 0 || run.length != text.size() || run.value > limit)
        return std::nullopt;
    return run.value;
}

} // namespace

DigitRun ReadDigits(std::string_view text, int base, std::uint64_t stopAbove) {
    DigitRun run;
    for (char c : text) {
        const int digit = base == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0 || run.value > stopAbove)
            break;
        run.value = run.value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        ++run.length;
    }
    return run;
}

std::optional<std::int32_t> ReadDataInteger(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    if (!text.empty() && text[0] == '$') {
        const auto value = wholeDigits(text.substr(1), 16, kInt32Max);
        return value ? std::optional<std::int32_t>(static_cast<std::int32_t>(*value))
                     : std::nullopt;
    }
    const bool negative = takeSign(text);
    const auto value = wholeDigits(text, 10, negative ? kInt32Max + 1 : kInt32Max);
    if (!value)
        return std::nullopt;
    const auto magnitude = static_cast<std::int64_t>(*value);
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::optional<long long> ReadSettingsInteger(std::string_view text) {
    text = TrimBlanks(text);
    const bool negative = takeSign(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.size() > 15)
        return std::nullopt;
    const auto value = wholeDigits(text, base, UINT64_MAX / 16);
    if (!value)
        return std::nullopt;
    const auto magnitude = static_cast<long long>(*value);
    return negative ? -magnitude : magnitude;
}

std::int32_t ReadLeadingNumber(std::string_view text) {
    const DigitRun run = ReadDigits(text, 10, kInt32Max);
    return static_cast<std::int32_t>(std::min(run.value, kInt32Max));
}

} // namespace zendrel
