#pragma once

#include <cstdint>
#include <string>

namespace zendrel {

// A time left or taken, as progress shows it: "45s", "13m20s", "2h05m".
std::string DurationText(std::int64_t seconds);

} // namespace zendrel
