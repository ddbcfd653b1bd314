#include "engine/DurationText.h"

#include <cstdio>

namespace zendrel {

std::string DurationText(std::int64_t seconds) {
    char text[32];
    if (seconds < 60)
        std::snprintf(text, sizeof text, "%llds", static_cast<long long>(seconds));
    else if (seconds < 3600)
        std::snprintf(text, sizeof text, "%lldm%02llds", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%lldh%02lldm", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60));
    return text;
}

} // namespace zendrel
