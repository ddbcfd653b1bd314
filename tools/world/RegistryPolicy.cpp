#include "tools/world/RegistryPolicy.h"

namespace zendrel::world {

RegistryPolicy::RegistryPolicy(const RegistryTerms& terms) : terms_(terms) {
    if (terms.limit)
        limit_.emplace(*terms.limit, terms.graceMs);
    if (terms.abuse)
        abuse_.emplace(*terms.abuse, 0);
}

Treatment RegistryPolicy::decide(std::int64_t now, int answering) {
    ++stats_.queries;
    if (everBlocked_ && now < blockedUntil_) {
        ++stats_.blocked;
        return Treatment::Blocked;
    }
    if (terms_.conns > 0 && answering >= terms_.conns)
        return refuse(Treatment::Busy, now);
    if (limit_ && limit_->full(now))
        return refuse(Treatment::Refuse, now);
    if (limit_)
        limit_->record(now);
    ++stats_.answered;
    return Treatment::Answer;
}

Treatment RegistryPolicy::refuse(Treatment why, std::int64_t now) {
    ++(why == Treatment::Busy ? stats_.busy : stats_.refused);
    if (!abuse_)
        return why;
    abuse_->record(now);
    if (abuse_->full(now)) {
        blockedUntil_ = now + terms_.blockSeconds * 1000LL;
        everBlocked_ = true;
        ++stats_.blocks;
        abuse_.emplace(*terms_.abuse, 0); // the block is the penalty; a fresh count after it
    }
    return why;
}

} // namespace zendrel::world
