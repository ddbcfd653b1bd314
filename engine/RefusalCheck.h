#pragma once

#include "lookup/ZoneTable.h"

#include <string_view>

namespace zendrel {

// Whether a reply from `line`'s server is a refusal to answer rather than an answer. Looked at
// before any verdict phrase, because some registries' refusals also carry their "not found"
// line: a reply holding one of the line's `busy=` phrases (any letter case) is a refusal,
// whatever else it says; so is status 429 or 503 on an https:// line or an http:// line with
// options (`httpStatus` 0 when the lookup had none). `reply` is the text the method reads.
bool IsRefusal(const ZoneEntry& line, std::string_view reply, int httpStatus);

} // namespace zendrel
