#include "engine/HeldRows.h"

#include <algorithm>

namespace zendrel {

void HeldRows::hold(std::size_t server, std::size_t row) {
    if (rows_.size() <= server)
        rows_.resize(server + 1);
    auto& rows = rows_[server];
    // Rows passed over arrive in list order and go to the back at once; only a refused row,
    // which came earlier than rows passed over since, is placed further in.
    rows.insert(std::upper_bound(rows.begin(), rows.end(), row), row);
    ++size_;
}

std::optional<std::size_t>
HeldRows::takeFirst(const std::function<bool(std::size_t server)>& ready) {
    std::optional<std::size_t> best;
    for (std::size_t s = 0; s < rows_.size(); ++s) {
        if (rows_[s].empty() || (best && rows_[s].front() > rows_[*best].front()))
            continue;
        if (ready(s))
            best = s;
    }
    if (!best)
        return std::nullopt;
    std::size_t row = rows_[*best].front();
    rows_[*best].pop_front();
    --size_;
    return row;
}

std::size_t HeldRows::waitingFor(std::size_t server) const {
    return server < rows_.size() ? rows_[server].size() : 0;
}

void HeldRows::clear() {
    rows_.clear();
    size_ = 0;
}

} // namespace zendrel
