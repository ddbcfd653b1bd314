#include "engine/RefusalCheck.h"

#include "engine/ZoneServers.h"

namespace zendrel {

bool IsRefusal(const ZoneEntry& line, std::string_view reply, int httpStatus) {
    // A port-43 lookup has no status, so only https:// and http:// lines with options get here.
    if ((httpStatus == 429 || httpStatus == 503) && FollowsRegistryRules(line))
        return true;
    return FindBusyPhrase(line.options, reply) != nullptr;
}

} // namespace zendrel
