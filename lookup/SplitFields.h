#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

// Cuts `text` at every `separator`: no items for an empty text, otherwise always separators + 1
// items, empty ones included, untrimmed.
std::vector<std::string> SplitFields(char separator, std::string_view text);

} // namespace zendrel
