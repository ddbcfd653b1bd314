#pragma once

#include "platform/Clock.h"

#include <ctime>
#include <optional>
#include <string_view>

namespace zendrel {

// The wait a Retry-After header value asks for: a number of seconds, or an HTTP date (the
// preferred form "Sun, 06 Nov 1994 08:49:37 GMT" and the two obsolete ones HTTP still requires a
// reader to accept) compared with `wallNow`, the current calendar time. A date in the past asks
// for no wait. None for a value that is neither.
std::optional<Millis> ParseRetryAfter(std::string_view value, std::time_t wallNow);

} // namespace zendrel
