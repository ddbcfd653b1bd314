#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace zendrel {

// Rows set aside because their server could not take them yet: passed over by the dispatcher
// while rows of other servers went ahead, or refused and waiting for a retry. Each server's rows
// come back in list order, refused ones included, so one server's rows keep their order.
class HeldRows {
public:
    // Sets `row` aside for `server` (a server's index).
    void hold(std::size_t server, std::size_t row);
    // Takes the row that comes first in the list among the servers `ready` accepts; none when
    // no such server has a row waiting.
    std::optional<std::size_t> takeFirst(const std::function<bool(std::size_t server)>& ready);
    // Rows waiting, over all servers.
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Rows waiting for one server.
    std::size_t waitingFor(std::size_t server) const;
    void clear();

private:
    std::vector<std::deque<std::size_t>> rows_; // by server, each in list order
    std::size_t size_ = 0;
};

} // namespace zendrel
