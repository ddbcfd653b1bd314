#include "tests/support/LoopbackClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::test {

int ConnectLoopback(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

Received ReadUntilClosed(int fd, int timeoutMs) {
    Received r;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        end - std::chrono::steady_clock::now())
                        .count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) == 0) {
            r.timedOut = true;
            break;
        }
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            r.bytes.append(buf, static_cast<std::size_t>(n));
            ++r.reads;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        r.reset = n < 0 && errno == ECONNRESET;
        break;
    }
    ::close(fd);
    return r;
}

Received FetchLoopback(std::uint16_t port, const std::string& request, int timeoutMs) {
    int fd = ConnectLoopback(port);
    if (fd < 0)
        return Received{{}, false, true, 0};
    SendAll(fd, request);
    return ReadUntilClosed(fd, timeoutMs);
}

} // namespace zendrel::test
