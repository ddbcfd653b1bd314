#pragma once

#include "tools/gateway/GatewayOptions.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zendrel::gateway {

// One accepted client: reads its request head, then plays the reply out the way the gateway's
// mode says (whole, not at all, cut by a reset, or one byte at a time). Times are milliseconds
// of a steady clock, passed in so that one loop pass uses one reading of the clock.
class GatewayConnection {
public:
    enum class ReadResult { Waiting, RequestComplete, Gone };

    GatewayConnection(int fd, const GatewayOptions& options, std::int64_t now);
    ~GatewayConnection();
    GatewayConnection(const GatewayConnection&) = delete;
    GatewayConnection& operator=(const GatewayConnection&) = delete;

    int fd() const { return fd_; }
    bool closed() const { return fd_ < 0; }
    // The poll events this connection waits for now (0 while it waits for time only).
    short pollEvents() const;
    // When onDue() must run, if it waits for time.
    std::optional<std::int64_t> due() const;
    // The request head read so far (complete once RequestComplete was returned).
    const std::string& head() const { return in_; }

    // Reads what arrived; tells when the head is complete (or too large to wait for).
    ReadResult onReadable();
    // Starts the reply once the head is complete.
    void respond(std::string reply, std::int64_t now);
    void onWritable(std::int64_t now);
    void onDue(std::int64_t now);
    // Closes at once, e.g. after the client hung up.
    void drop() { closeNow(); }

private:
    enum class Phase { Reading, Waiting, Writing, Resetting };

    void writeSome(std::int64_t now);
    void closeGracefully();
    void closeWithReset();
    void closeNow();

    int fd_;
    const GatewayOptions& options_;
    Phase phase_ = Phase::Reading;
    std::int64_t due_;
    std::string in_;
    std::string out_;
    std::size_t sent_ = 0;
    std::size_t stopAt_ = 0; // where a reset cuts the reply
};

} // namespace zendrel::gateway
