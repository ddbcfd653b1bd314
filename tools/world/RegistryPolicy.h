#pragma once

#include "tools/world/RateWindow.h"
#include "tools/world/WorldConfig.h"

#include <cstdint>
#include <optional>

namespace zendrel::world {

// How a registry treats one query.
enum class Treatment {
    Answer,  // within the limits: the real answer
    Refuse,  // beyond the rate limit
    Busy,    // beyond the number of queries answered at once
    Blocked, // the client abused the service and is shut out for a while
};

struct RegistryStats {
    long queries = 0;
    long answered = 0;
    long refused = 0;
    long busy = 0;
    long blocked = 0;
    long blocks = 0; // how often a block started
};

// A registry's rules for its one client (on loopback every client has the same address): a
// block shuts it out first, then too many queries at once, then the rate limit. Refusals of
// either kind count as abuse; enough of them within the abuse period start a block.
class RegistryPolicy {
public:
    explicit RegistryPolicy(const RegistryTerms& terms);

    // Decides for a query that arrived at `now` while `answering` other queries of this
    // registry were being answered, and counts it.
    Treatment decide(std::int64_t now, int answering);
    const RegistryStats& stats() const { return stats_; }

private:
    Treatment refuse(Treatment why, std::int64_t now);

    const RegistryTerms& terms_;
    std::optional<RateWindow> limit_;
    std::optional<RateWindow> abuse_;
    std::int64_t blockedUntil_ = 0;
    bool everBlocked_ = false;
    RegistryStats stats_;
};

} // namespace zendrel::world
