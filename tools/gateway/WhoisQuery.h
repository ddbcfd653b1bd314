#pragma once

#include "tools/gateway/RequestHead.h"

#include <optional>
#include <string>
#include <string_view>

namespace zendrel::gateway {

// A port-43 query longer than this is refused: real queries are a name and a few flags.
constexpr std::size_t kMaxWhoisQuery = 1024;

// Looks at the bytes received so far: complete once a line end (LF, after CR or not) arrives.
HeadStatus CheckWhoisQuery(std::string_view bytes);

// The name a complete query line asks for: its last blank-separated word, so that flags a real
// server expects in front of the name ("domain NAME", "-T dn,ace NAME") are passed over. None
// when the line holds no word or control characters.
std::optional<std::string> NameFromWhoisQuery(std::string_view bytes);

} // namespace zendrel::gateway
