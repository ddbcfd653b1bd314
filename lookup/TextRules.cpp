#include "lookup/TextRules.h"

namespace zendrel {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Accumulates digits of `base` into a magnitude, refusing anything past `limit` so that no
// digit string, however long, can overflow.
std::optional<int64_t> ReadMagnitude(std::string_view digits, int base, int64_t limit) {
    if (digits.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char c : digits) {
        int d = base == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (end > first && static_cast<unsigned char>(text[end - 1]) <= 32)
        --end;
    return text.substr(first, end - first);
}

void LowerCaseInPlace(std::string& text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    LowerCaseInPlace(out);
    return out;
}

std::optional<int32_t> ReadDataInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    text.remove_prefix(i);
    const int64_t maxPositive = INT32_MAX;
    if (!text.empty() && text[0] == '$') {
        auto value = ReadMagnitude(text.substr(1), 16, maxPositive);
        return value ? std::optional<int32_t>(static_cast<int32_t>(*value)) : std::nullopt;
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    auto value = ReadMagnitude(text, 10, negative ? maxPositive + 1 : maxPositive);
    if (!value)
        return std::nullopt;
    return static_cast<int32_t>(negative ? -*value : *value);
}

} // namespace zendrel
