// The plain TCP client stream, and the closing both kinds of stream share.
#include "tools/gateway/ClientStream.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::gateway {

namespace {

class PlainStream final : public ClientStream {
public:
    using ClientStream::ClientStream;

    bool encrypted() const override { return false; }
    StreamResult open() override { return {StreamStatus::Done}; }

    StreamResult read(char* buf, std::size_t size) override {
        for (;;) {
            ssize_t n = ::recv(fd(), buf, size, 0);
            if (n > 0)
                return {StreamStatus::Done, static_cast<std::size_t>(n)};
            if (n == 0)
                return {StreamStatus::Closed};
            if (errno != EINTR)
                return {errno == EAGAIN || errno == EWOULDBLOCK ? StreamStatus::WantRead
                                                                : StreamStatus::Failed};
        }
    }

    StreamResult write(const char* data, std::size_t size) override {
        for (;;) {
            ssize_t n = ::send(fd(), data, size, MSG_NOSIGNAL);
            if (n >= 0)
                return {StreamStatus::Done, static_cast<std::size_t>(n)};
            if (errno != EINTR)
                return {errno == EAGAIN || errno == EWOULDBLOCK ? StreamStatus::WantWrite
                                                                : StreamStatus::Failed};
        }
    }

    StreamResult finish() override {
        ::shutdown(fd(), SHUT_WR);
        return {StreamStatus::Done};
    }
};

} // namespace

ClientStream::~ClientStream() {
    close();
}

void ClientStream::close(bool reset) {
    if (fd_ < 0)
        return;
    if (reset) {
        struct linger hard {
            1, 0
        };
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    } else {
        // Unread bytes at close would turn the orderly end into a reset and could cost the
        // client the end of its reply, so whatever the client sent after its request is read
        // first.
        // Bounded, so that a client that never stops sending cannot keep the loop here.
        char buf[4096];
        for (int i = 0; i < 64 && ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT) > 0; ++i) {
        }
    }
    ::close(fd_);
    fd_ = -1;
}

std::unique_ptr<ClientStream> MakePlainStream(int fd) {
    return std::make_unique<PlainStream>(fd);
}

} // namespace zendrel::gateway
