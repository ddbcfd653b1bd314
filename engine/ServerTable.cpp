#include "engine/ServerTable.h"

#include "lookup/TextRules.h"

#include <algorithm>

namespace zendrel {

Millis ServerTable::Server::nextChance() const {
    return std::max(budget.nextStart(), cooldown.pausedUntil());
}

std::size_t ServerTable::add(const std::string& host, int port, ServerLimits limits) {
    std::string key = LowerCase(host) + ":" + std::to_string(port);
    auto [it, added] = byKey_.emplace(key, servers_.size());
    if (added)
        servers_.push_back(Server{host, port, ServerBudget(limits), {}});
    else
        servers_[it->second].budget.tighten(limits);
    return it->second;
}

void ServerTable::resetRun() {
    for (Server& s : servers_) {
        s.budget.reset();
        s.cooldown.reset();
    }
}

void ServerTable::clear() {
    servers_.clear();
    byKey_.clear();
}

} // namespace zendrel
