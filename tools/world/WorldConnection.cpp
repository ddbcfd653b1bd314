#include "tools/world/WorldConnection.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::world {

namespace {

// A client that connects and never finishes its query is dropped after this long, so it cannot
// hold a slot for ever.
constexpr std::int64_t kQueryTimeoutMs = 30000;
// A silent server still lets go of a client that never gives up.
constexpr std::int64_t kSilenceMs = 120000;

} // namespace

WorldConnection::WorldConnection(int fd, std::size_t registry, std::int64_t now)
    : fd_(fd), registry_(registry), due_(now + kQueryTimeoutMs) {}

WorldConnection::~WorldConnection() {
    closeNow();
}

short WorldConnection::pollEvents() const {
    if (closed())
        return 0;
    if (phase_ == Phase::Reading || phase_ == Phase::Silent)
        return POLLIN;
    return phase_ == Phase::Writing ? POLLOUT : 0;
}

std::optional<std::int64_t> WorldConnection::due() const {
    if (closed() || phase_ == Phase::Writing)
        return std::nullopt;
    return due_;
}

WorldConnection::ReadResult
WorldConnection::onReadable(const std::function<bool(const std::string&)>& complete) {
    char buf[4096];
    for (;;) {
        ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n > 0) {
            if (phase_ == Phase::Silent)
                continue; // nobody listens any more
            in_.append(buf, static_cast<std::size_t>(n));
            if (complete(in_))
                return ReadResult::QueryComplete;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return ReadResult::Waiting;
        closeNow(); // the client went away
        return ReadResult::Gone;
    }
}

void WorldConnection::respond(Outgoing reply, std::int64_t when) {
    out_ = std::move(reply);
    phase_ = Phase::Waiting;
    due_ = when;
}

void WorldConnection::onWritable() {
    writeSome();
}

void WorldConnection::onDue() {
    if (phase_ == Phase::Reading || phase_ == Phase::Silent)
        closeNow();
    else if (phase_ == Phase::Waiting)
        start();
}

void WorldConnection::start() {
    switch (out_.kind) {
    case ShapeKind::Text:
        phase_ = Phase::Writing;
        writeSome();
        break;
    case ShapeKind::Empty:
        closeGracefully();
        break;
    case ShapeKind::Reset:
        closeWithReset();
        break;
    case ShapeKind::Silent:
        phase_ = Phase::Silent;
        due_ += kSilenceMs;
        break;
    }
}

void WorldConnection::writeSome() {
    while (sent_ < out_.bytes.size()) {
        ssize_t n = ::send(fd_, out_.bytes.data() + sent_, out_.bytes.size() - sent_, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // poll says when there is room again
        if (n < 0) {
            closeNow();
            return;
        }
        sent_ += static_cast<std::size_t>(n);
    }
    closeGracefully();
}

void WorldConnection::closeGracefully() {
    // Unread bytes at close would turn the orderly end into a reset, so they are read first.
    ::shutdown(fd_, SHUT_WR);
    char buf[1024];
    while (::recv(fd_, buf, sizeof buf, MSG_DONTWAIT) > 0) {
    }
    closeNow();
}

void WorldConnection::closeWithReset() {
    struct linger hard {
        1, 0
    };
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    closeNow();
}

void WorldConnection::closeNow() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace zendrel::world
