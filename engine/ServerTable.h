#pragma once

#include "engine/ServerBudget.h"
#include "engine/ServerCooldown.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace zendrel {

// The servers a search talks to, each known by host and port, with its budget and its pause.
// All zone lines naming one host and port share one server, limited by the strictest of them.
class ServerTable {
public:
    struct Server {
        std::string host;
        int port = 0;
        ServerBudget budget;
        ServerCooldown cooldown;

        // True when a lookup may start on this server at `now`.
        bool canStart(Millis now) const { return !cooldown.paused(now) && budget.canStart(now); }
        // The earliest time it might: the pace or the pause, whichever ends later.
        Millis nextChance() const;
    };

    // The index of the server `host`:`port` (host compared without regard to case), added with
    // `limits` or tightened by them.
    std::size_t add(const std::string& host, int port, ServerLimits limits);

    std::size_t size() const { return servers_.size(); }
    Server& operator[](std::size_t i) { return servers_[i]; }
    const Server& operator[](std::size_t i) const { return servers_[i]; }

    // A new run: every server's starts, live lookups and pause are forgotten; limits stay.
    void resetRun();
    void clear();

private:
    std::vector<Server> servers_;
    std::unordered_map<std::string, std::size_t> byKey_;
};

} // namespace zendrel
