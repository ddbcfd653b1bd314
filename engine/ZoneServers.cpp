#include "engine/ZoneServers.h"

#include "lookup/TextRules.h"
#include "net/HttpText.h"

#include <charconv>

namespace zendrel {

namespace {

constexpr Millis kRegistryInterval = 1000;
constexpr int kRegistryConns = 2;

std::string scheme(std::string_view urlTemplate) {
    std::size_t sep = urlTemplate.find("://");
    return sep == std::string_view::npos ? std::string() : LowerCase(urlTemplate.substr(0, sep));
}

int defaultPort(const std::string& proto) {
    if (proto == "https")
        return 443;
    if (proto == "whois")
        return 43;
    return 80;
}

} // namespace

bool IsRegistryAddress(std::string_view urlTemplate) {
    std::string proto = scheme(urlTemplate);
    return proto == "https" || proto == "whois";
}

bool FollowsRegistryRules(const ZoneEntry& line) {
    return line.options.any() || IsRegistryAddress(line.urlTemplate);
}

ServerLimits LineLimits(const ZoneEntry& line) {
    bool registry = IsRegistryAddress(line.urlTemplate);
    ServerLimits limits;
    if (line.options.pace)
        limits.interval =
            PaceInterval(line.options.pace->count, line.options.pace->periodSeconds * Millis{1000});
    else if (registry)
        limits.interval = kRegistryInterval;
    if (line.options.conns)
        limits.conns = *line.options.conns;
    else if (registry)
        limits.conns = kRegistryConns;
    return limits;
}

ServerAddress LineServerAddress(const ZoneEntry& line) {
    std::string proto, user, pass, host, port, path;
    SplitUrl(line.urlTemplate, proto, user, pass, host, port, path);
    ServerAddress address{LowerCase(host), defaultPort(LowerCase(proto))};
    int number = 0;
    auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (!port.empty() && ec == std::errc() && end == port.data() + port.size() && number > 0 &&
        number < 65536)
        address.port = number;
    return address;
}

void ZoneServers::build(const ZoneTable& zones) {
    servers_.clear();
    byEntry_.clear();
    for (const ZoneEntry& line : zones.entries()) {
        if (!FollowsRegistryRules(line)) {
            byEntry_.emplace_back();
            continue;
        }
        ServerAddress a = LineServerAddress(line);
        byEntry_.emplace_back(servers_.add(a.host, a.port, LineLimits(line)));
    }
}

std::optional<std::size_t> ZoneServers::serverOf(const ZoneTable& zones,
                                                 const ZoneEntry* line) const {
    if (!line || zones.entries().empty() || line < zones.entries().data())
        return std::nullopt;
    auto index = static_cast<std::size_t>(line - zones.entries().data());
    return index < byEntry_.size() ? byEntry_[index] : std::nullopt;
}

} // namespace zendrel
