#pragma once

#include <array>
#include <string>

namespace zendrel {

// The values of the connection-settings grid, in row order: "Proxy", "Proxy Port", "Sender",
// "Agent", "Reference", "Username", "Password", "Proxy Username", "Proxy Password".
using ConnectionSettings = std::array<std::string, 9>;

// The options a run reads from the window at the moment it needs them, so a change during a run
// takes effect at once (a new time limit applies from the running lookups' next tick).
class RunSettings {
public:
    virtual ~RunSettings() = default;
    virtual int linkLimit() const = 0;          // udLink, 1..100
    virtual int timeLimit() const = 0;          // udTime, seconds, 1..1000
    virtual bool autoResume() const = 0;        // cbResume
    virtual int autoResumeLimit() const = 0;    // udAR, 0..100
    virtual bool deleteUnavailable() const = 0; // cbDel
    virtual ConnectionSettings connectionSettings() const = 0;
    // "Check DNS first": a name delegated in DNS is not available, so its registry is not
    // asked. Off unless a program offers the option.
    virtual bool dnsFirst() const { return false; }
    // The name servers that check ("ip:port,…"); empty for the system's resolver.
    virtual std::string dnsServers() const { return {}; }
};

} // namespace zendrel
