#include "tools/gateway/GatewayConnection.h"

#include "tools/gateway/RequestHead.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::gateway {

namespace {

// A client that connects and never finishes its request is dropped after this long, so it cannot
// hold a slot (or keep an idle gateway alive) for ever.
constexpr std::int64_t kHeadTimeoutMs = 30000;
// Pause between the last bytes and the reset, so the client reads the partial body before the
// reset arrives instead of losing it with the unsent rest of the send buffer.
constexpr std::int64_t kResetPauseMs = 20;

} // namespace

GatewayConnection::GatewayConnection(int fd, const GatewayOptions& options, std::int64_t now)
    : fd_(fd), options_(options), due_(now + kHeadTimeoutMs) {}

GatewayConnection::~GatewayConnection() {
    closeNow();
}

short GatewayConnection::pollEvents() const {
    if (closed())
        return 0;
    if (phase_ == Phase::Reading)
        return POLLIN;
    return phase_ == Phase::Writing ? POLLOUT : 0;
}

std::optional<std::int64_t> GatewayConnection::due() const {
    if (closed() || phase_ == Phase::Writing)
        return std::nullopt;
    return due_;
}

GatewayConnection::ReadResult GatewayConnection::onReadable() {
    char buf[4096];
    for (;;) {
        ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n > 0) {
            in_.append(buf, static_cast<std::size_t>(n));
            if (CheckRequestHead(in_) != HeadStatus::NeedMore)
                return ReadResult::RequestComplete;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return ReadResult::Waiting;
        closeNow(); // the client went away before finishing its request
        return ReadResult::Gone;
    }
}

void GatewayConnection::respond(std::string reply, std::int64_t now) {
    if (options_.mode == ReplyMode::Close) {
        closeGracefully();
        return;
    }
    out_ = std::move(reply);
    sent_ = 0;
    stopAt_ = out_.size();
    if (options_.mode == ReplyMode::Reset) {
        std::size_t body = out_.find("\r\n\r\n");
        body = body == std::string::npos ? 0 : body + 4;
        stopAt_ = body + (out_.size() - body) / 2;
    }
    phase_ = Phase::Waiting;
    due_ = now + options_.delayMs;
    if (options_.delayMs == 0)
        onDue(now);
}

void GatewayConnection::onWritable(std::int64_t now) {
    writeSome(now);
}

void GatewayConnection::onDue(std::int64_t now) {
    if (phase_ == Phase::Reading)
        closeNow();
    else if (phase_ == Phase::Resetting)
        closeWithReset();
    else if (phase_ == Phase::Waiting) {
        phase_ = Phase::Writing;
        writeSome(now);
    }
}

void GatewayConnection::writeSome(std::int64_t now) {
    bool trickle = options_.mode == ReplyMode::Trickle;
    while (sent_ < stopAt_) {
        std::size_t chunk = trickle ? 1 : stopAt_ - sent_;
        ssize_t n = ::send(fd_, out_.data() + sent_, chunk, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // poll says when there is room again
        if (n < 0) {
            closeNow();
            return;
        }
        sent_ += static_cast<std::size_t>(n);
        if (trickle && sent_ < stopAt_) {
            phase_ = Phase::Waiting;
            due_ = now + options_.trickleMs;
            return;
        }
    }
    if (stopAt_ < out_.size()) {
        phase_ = Phase::Resetting;
        due_ = now + kResetPauseMs;
    } else {
        closeGracefully();
    }
}

void GatewayConnection::closeGracefully() {
    // Unread bytes at close would turn the orderly end into a reset and could cost the client the
    // end of its reply, so whatever the client sent after its head is read first.
    ::shutdown(fd_, SHUT_WR);
    char buf[1024];
    while (::recv(fd_, buf, sizeof buf, MSG_DONTWAIT) > 0) {
    }
    closeNow();
}

void GatewayConnection::closeWithReset() {
    struct linger hard {
        1, 0
    };
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    closeNow();
}

void GatewayConnection::closeNow() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace zendrel::gateway
