#include "tests/support/NxdomainServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::test {

NxdomainServer::NxdomainServer() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    timeval tv{0, 20000}; // so that the thread notices stop_ promptly
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    thread_ = std::thread([this] { serve(); });
}

NxdomainServer::~NxdomainServer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
}

// The reply is the query itself with the response bit, recursion available and RCODE 3 set.
void NxdomainServer::serve() {
    for (int answered = 0; !stop_ && answered < 50;) {
        unsigned char q[512];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        ssize_t n = recvfrom(fd_, q, sizeof q, 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 12)
            continue;
        q[2] |= 0x80;
        q[3] = static_cast<unsigned char>((q[3] & 0x70) | 0x83);
        sendto(fd_, q, static_cast<std::size_t>(n), 0, reinterpret_cast<sockaddr*>(&from), len);
        ++answered;
    }
}

} // namespace zendrel::test
