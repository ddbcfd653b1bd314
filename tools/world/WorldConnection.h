#pragma once

#include "tools/world/RegistryReply.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zendrel::world {

// One client of a simulated registry: reads its query, then, once the registry's delay has
// passed, plays out the chosen reply (text then an orderly close, an empty close, a reset, or
// silence until the client leaves). Times are milliseconds of a steady clock, passed in so that
// one loop pass uses one reading of the clock.
class WorldConnection {
public:
    enum class ReadResult { Waiting, QueryComplete, Gone };

    WorldConnection(int fd, std::size_t registry, std::int64_t now);
    ~WorldConnection();
    WorldConnection(const WorldConnection&) = delete;
    WorldConnection& operator=(const WorldConnection&) = delete;

    int fd() const { return fd_; }
    std::size_t registry() const { return registry_; }
    bool closed() const { return fd_ < 0; }
    // True from the moment its query was read until it is closed.
    bool answering() const { return !closed() && phase_ != Phase::Reading; }
    const std::string& received() const { return in_; }

    // The poll events it waits for now (0 while it waits for time only).
    short pollEvents() const;
    // When onDue() must run, if it waits for time.
    std::optional<std::int64_t> due() const;

    // Reads what arrived; `complete` tells whether the bytes so far make a query.
    ReadResult onReadable(const std::function<bool(const std::string&)>& complete);
    // Sends `reply` at `when`.
    void respond(Outgoing reply, std::int64_t when);
    void onWritable();
    void onDue();

private:
    enum class Phase { Reading, Waiting, Writing, Silent };

    void start();
    void writeSome();
    void closeGracefully();
    void closeWithReset();
    void closeNow();

    int fd_;
    std::size_t registry_;
    Phase phase_ = Phase::Reading;
    std::int64_t due_;
    std::string in_;
    Outgoing out_;
    std::size_t sent_ = 0;
};

} // namespace zendrel::world
