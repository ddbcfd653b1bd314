#include "tools/gateway/ListenSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::gateway {

namespace {

[[noreturn]] void failWith(int fd, const std::string& what) {
    int error = errno;
    if (fd >= 0)
        ::close(fd);
    throw std::runtime_error(what + ": " + std::strerror(error));
}

} // namespace

int ListenOnLoopback(std::uint16_t port, std::uint16_t& bound) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        failWith(fd, "socket");
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK); // never reachable from another machine
    addr.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        failWith(fd, "cannot listen on 127.0.0.1:" + std::to_string(port));
    if (::listen(fd, 512) != 0)
        failWith(fd, "listen");
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    bound = ntohs(addr.sin_port);
    return fd;
}

} // namespace zendrel::gateway
