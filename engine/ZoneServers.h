#pragma once

#include "engine/ServerTable.h"
#include "lookup/ZoneTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zendrel {

// True for the address forms that reach real registries: https:// and whois://.
bool IsRegistryAddress(std::string_view urlTemplate);

// True when the pacing and refusal rules apply to a zone line: an https:// or whois:// line, or
// any line with options. A plain four-field http:// line behaves exactly as it always did.
bool FollowsRegistryRules(const ZoneEntry& line);

// What a zone line asks of its server: its own `pace=` and `conns=` when given; otherwise, for
// https:// and whois:// lines, 1 per second and 2 at once; nothing for an http:// line.
ServerLimits LineLimits(const ZoneEntry& line);

// The host and port a line's lookups go to (80, 443 and 43 when the address names none).
struct ServerAddress {
    std::string host;
    int port = 0;
};
ServerAddress LineServerAddress(const ZoneEntry& line);

// The servers of a zone table: every line that follows the registry rules belongs to the server
// of its host and port, which all such lines naming it share.
class ZoneServers {
public:
    void build(const ZoneTable& zones);

    // The server of `line` (an entry of the table last built), or none for a line that does not
    // follow the registry rules.
    std::optional<std::size_t> serverOf(const ZoneTable& zones, const ZoneEntry* line) const;

    ServerTable& servers() { return servers_; }
    const ServerTable& servers() const { return servers_; }

private:
    ServerTable servers_;
    std::vector<std::optional<std::size_t>> byEntry_;
};

} // namespace zendrel
