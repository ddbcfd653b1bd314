#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zendrel {

// Replaces the first "#" of `label` and the byte after it by one byte: a hexadecimal digit
// 0-9/a-f gives the byte of that value (so "#a" is a line feed), anything else, or nothing, 255.
std::string DecodeLabelEscape(std::string_view label);

// The value a field item ("label" or "count~label") reads from `work`: the text after the
// count-th occurrence of the label (the last for -1) up to a line feed, "(", "<" or ">", trimmed.
// Nothing when the count is not a number, 0 or below -1, the label is empty or not found.
std::optional<std::string> ExtractField(std::string_view fieldItem, std::string_view work);

// Narrows `work` to the section that starts at the count-th occurrence of `marker` and ends
// before the first empty line ("\n\n", else "\n<br>\n"). An empty marker, a count below 1 or too
// few occurrences make `work` empty.
void PositionSection(std::string_view& work, int32_t count, std::string_view marker);

} // namespace zendrel
