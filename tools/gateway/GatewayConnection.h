#pragma once

#include "tools/gateway/ClientStream.h"
#include "tools/gateway/GatewayOptions.h"
#include "tools/gateway/GatewayReply.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zendrel::gateway {

// What a client asks in: an HTTP request head, or a port-43 query line.
enum class RequestKind { Web, Whois };

// One accepted client: opens its stream (the TLS handshake, if any), reads its request, then
// plays the reply out the way the gateway's mode says (whole, not at all, cut by a reset, one
// byte at a time, without end, or never). Times are milliseconds of a steady clock, passed in
// so that one loop pass uses one reading of the clock.
class GatewayConnection {
public:
    GatewayConnection(std::unique_ptr<ClientStream> stream, RequestKind kind,
                      const GatewayOptions& options, std::int64_t now);
    GatewayConnection(const GatewayConnection&) = delete;
    GatewayConnection& operator=(const GatewayConnection&) = delete;

    int fd() const { return stream_->fd(); }
    bool closed() const { return stream_->closed(); }
    RequestKind kind() const { return kind_; }
    bool overTls() const { return stream_->encrypted(); }
    // The poll events this connection waits for now (0 while it waits for time only).
    short pollEvents() const;
    // When onDue() must run, if it waits for time.
    std::optional<std::int64_t> due() const;
    // The request read so far (complete once onEvents() returned true).
    const std::string& request() const { return in_; }

    // Goes on after poll() reported `revents`; true when the request just became complete (or
    // too large to wait for), and respond() is to be called.
    bool onEvents(short revents, std::int64_t now);
    // Starts the reply once the request is complete.
    void respond(GatewayReply reply, std::int64_t now);
    void onDue(std::int64_t now);

private:
    enum class Phase {
        Opening,
        Reading,
        Answering,
        Waiting,
        Writing,
        Finishing,
        Resetting,
        Holding
    };

    bool step(std::int64_t now);
    bool readRequest();
    void writeSome(std::int64_t now);
    void finish();
    void discardInput();
    // Notes what an unfinished stream step waits for; false when the stream is over.
    bool waitFor(StreamStatus status);

    std::unique_ptr<ClientStream> stream_;
    RequestKind kind_;
    const GatewayOptions& options_;
    Phase phase_ = Phase::Opening;
    short wants_;
    std::int64_t due_;
    std::string in_;
    std::string out_;
    std::string repeat_;
    std::size_t sent_ = 0;
    std::size_t stopAt_ = 0; // where a reset cuts the reply
};

} // namespace zendrel::gateway
