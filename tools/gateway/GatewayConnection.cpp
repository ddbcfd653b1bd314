#include "tools/gateway/GatewayConnection.h"

#include "tools/gateway/RequestHead.h"
#include "tools/gateway/WhoisQuery.h"

#include <poll.h>

namespace zendrel::gateway {

namespace {

// Pause between the last bytes and the reset, so the client reads the partial body before the
// reset arrives instead of losing it with the unsent rest of the send buffer.
constexpr std::int64_t kResetPauseMs = 20;
// Bytes written (or, from a silent connection, thrown away) in one go before other clients get
// their turn: an endless reply to a fast reader would otherwise keep the loop to itself.
constexpr std::size_t kWriteTurn = 256 * 1024;

} // namespace

GatewayConnection::GatewayConnection(std::unique_ptr<ClientStream> stream, RequestKind kind,
                                     const GatewayOptions& options, std::int64_t now)
    : stream_(std::move(stream)), kind_(kind), options_(options), wants_(POLLIN),
      due_(now + options.readTimeoutMs) {}

short GatewayConnection::pollEvents() const {
    if (closed() || phase_ == Phase::Waiting || phase_ == Phase::Resetting ||
        phase_ == Phase::Answering)
        return 0;
    return wants_;
}

std::optional<std::int64_t> GatewayConnection::due() const {
    if (closed())
        return std::nullopt;
    if (phase_ == Phase::Opening || phase_ == Phase::Reading || phase_ == Phase::Waiting ||
        phase_ == Phase::Resetting)
        return due_;
    return std::nullopt;
}

bool GatewayConnection::onEvents(short revents, std::int64_t now) {
    if (revents == 0 || closed())
        return false;
    if (pollEvents() == 0) {
        stream_->close(); // hung up while its reply waits for time: nobody is left to read it
        return false;
    }
    return step(now);
}

bool GatewayConnection::step(std::int64_t now) {
    if (phase_ == Phase::Opening) {
        StreamResult r = stream_->open();
        if (r.status != StreamStatus::Done) {
            waitFor(r.status);
            return false;
        }
        phase_ = Phase::Reading;
    }
    if (phase_ == Phase::Reading)
        return readRequest();
    if (phase_ == Phase::Writing)
        writeSome(now);
    else if (phase_ == Phase::Finishing)
        finish();
    else if (phase_ == Phase::Holding)
        discardInput();
    return false;
}

bool GatewayConnection::readRequest() {
    char buf[4096];
    for (;;) {
        StreamResult r = stream_->read(buf, sizeof buf);
        if (r.status != StreamStatus::Done) {
            waitFor(r.status); // a client gone before finishing its request is closed
            return false;
        }
        in_.append(buf, r.bytes);
        HeadStatus status =
            kind_ == RequestKind::Web ? CheckRequestHead(in_) : CheckWhoisQuery(in_);
        if (status != HeadStatus::NeedMore) {
            phase_ = Phase::Answering;
            return true;
        }
    }
}

void GatewayConnection::respond(GatewayReply reply, std::int64_t now) {
    if (options_.mode == ReplyMode::Close) {
        phase_ = Phase::Finishing;
        finish();
        return;
    }
    if (options_.mode == ReplyMode::Silent) {
        phase_ = Phase::Holding;
        discardInput();
        return;
    }
    out_ = std::move(reply.bytes);
    repeat_ = std::move(reply.repeat);
    sent_ = 0;
    stopAt_ = out_.size();
    if (options_.mode == ReplyMode::Reset)
        stopAt_ = reply.bodyStart + (out_.size() - reply.bodyStart) / 2;
    phase_ = Phase::Waiting;
    due_ = now + options_.delayMs;
    if (options_.delayMs == 0)
        onDue(now);
}

void GatewayConnection::onDue(std::int64_t now) {
    if (phase_ == Phase::Opening || phase_ == Phase::Reading) {
        stream_->close(); // too slow to ask: the slot goes to another client
    } else if (phase_ == Phase::Resetting) {
        stream_->close(true);
    } else if (phase_ == Phase::Waiting) {
        phase_ = Phase::Writing;
        writeSome(now);
    }
}

void GatewayConnection::writeSome(std::int64_t now) {
    bool trickle = options_.mode == ReplyMode::Trickle;
    std::size_t turn = 0;
    for (;;) {
        while (sent_ < stopAt_) {
            if (turn >= kWriteTurn) {
                wants_ = POLLOUT;
                return;
            }
            std::size_t chunk = trickle ? 1 : stopAt_ - sent_;
            StreamResult r = stream_->write(out_.data() + sent_, chunk);
            if (r.status != StreamStatus::Done) {
                waitFor(r.status);
                return;
            }
            sent_ += r.bytes;
            turn += r.bytes;
            if (trickle && (sent_ < stopAt_ || !repeat_.empty())) {
                phase_ = Phase::Waiting;
                due_ = now + options_.trickleMs;
                return;
            }
        }
        if (repeat_.empty())
            break;
        out_ = repeat_; // an endless reply starts its body again
        sent_ = 0;
        stopAt_ = out_.size();
    }
    if (stopAt_ < out_.size()) {
        phase_ = Phase::Resetting;
        due_ = now + kResetPauseMs;
        return;
    }
    phase_ = Phase::Finishing;
    finish();
}

void GatewayConnection::finish() {
    StreamResult r = stream_->finish();
    if (r.status == StreamStatus::WantRead || r.status == StreamStatus::WantWrite)
        waitFor(r.status);
    else
        stream_->close();
}

void GatewayConnection::discardInput() {
    char buf[4096];
    // A turn's worth at most: a client that sends without end must not keep the loop here.
    for (std::size_t turn = 0; turn < kWriteTurn; turn += sizeof buf) {
        StreamResult r = stream_->read(buf, sizeof buf);
        if (r.status != StreamStatus::Done) {
            waitFor(r.status);
            return;
        }
    }
    wants_ = POLLIN;
}

bool GatewayConnection::waitFor(StreamStatus status) {
    if (status == StreamStatus::WantRead || status == StreamStatus::WantWrite) {
        wants_ = status == StreamStatus::WantRead ? POLLIN : POLLOUT;
        return true;
    }
    stream_->close();
    return false;
}

} // namespace zendrel::gateway
