#include "tools/gateway/GatewayServer.h"

#include "tools/gateway/RequestHead.h"
#include "tools/gateway/WhoisPage.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::gateway {

namespace {

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Raises the open-file limit as far as allowed and keeps some descriptors in reserve; the
// connection count never exceeds the result, which also bounds the gateway's memory.
std::size_t connectionLimit() {
    struct rlimit lim {};
    if (::getrlimit(RLIMIT_NOFILE, &lim) != 0)
        return 256;
    rlim_t wanted = std::min<rlim_t>(lim.rlim_max, 4096);
    if (lim.rlim_cur < wanted) {
        lim.rlim_cur = wanted;
        ::setrlimit(RLIMIT_NOFILE, &lim);
        ::getrlimit(RLIMIT_NOFILE, &lim);
    }
    return lim.rlim_cur > 64 ? static_cast<std::size_t>(lim.rlim_cur - 32) : 16;
}

[[noreturn]] void failWith(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

GatewayServer::GatewayServer(GatewayOptions options, NameRegistry names)
    : options_(std::move(options)), names_(std::move(names)), maxConnections_(connectionLimit()) {}

GatewayServer::~GatewayServer() {
    stopListening();
}

std::uint16_t GatewayServer::listen() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        failWith("socket");
    int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK); // never reachable from another machine
    addr.sin_port = htons(options_.port);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        failWith("cannot listen on 127.0.0.1:" + std::to_string(options_.port));
    if (::listen(listenFd_, 512) != 0)
        failWith("listen");
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

void GatewayServer::stopListening() {
    if (listenFd_ >= 0)
        ::close(listenFd_);
    listenFd_ = -1;
}

std::string GatewayServer::replyFor(std::string_view head) const {
    bool length = options_.contentLength;
    if (CheckRequestHead(head) == HeadStatus::TooLarge)
        return HttpReply(400, "Bad Request", "request too large\n", length);
    auto request = ParseRequestLine(head);
    if (!request)
        return HttpReply(400, "Bad Request", "malformed request line\n", length);
    if (request->method != "GET")
        return HttpReply(405, "Method Not Allowed", "only GET is served\n", length);
    int code = 0;
    auto name = NameFromTarget(request->target, code);
    if (!name && code == 404)
        return HttpReply(404, "Not Found", "ask for /whois?name=NAME\n", length);
    if (!name)
        return HttpReply(400, "Bad Request", "missing or unusable name\n", length);
    return HttpReply(200, "OK", WhoisPage(*name, names_.status(*name)), length);
}

bool GatewayServer::finished(std::int64_t now) const {
    if (!connections_.empty())
        return false;
    if (options_.maxRequests > 0 && requests_ >= options_.maxRequests)
        return true;
    return options_.idleExitMs > 0 && now - lastActivity_ >= options_.idleExitMs;
}

int GatewayServer::pollTimeout(std::int64_t now) const {
    // Bounded so that a stop request arriving between the check and poll() is seen soon.
    std::int64_t next = now + 1000;
    if (options_.idleExitMs > 0 && connections_.empty())
        next = std::min(next, lastActivity_ + options_.idleExitMs);
    for (const auto& c : connections_)
        if (auto due = c->due())
            next = std::min(next, *due);
    return static_cast<int>(std::max<std::int64_t>(0, next - now));
}

void GatewayServer::runDue(std::int64_t now) {
    for (auto& c : connections_) {
        auto due = c->due();
        if (due && *due <= now)
            c->onDue(now);
    }
}

void GatewayServer::acceptClients(std::int64_t now) {
    while (listenFd_ >= 0 && connections_.size() < maxConnections_) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return; // EAGAIN, or out of descriptors: the backlog waits for the next pass
        connections_.push_back(std::make_unique<GatewayConnection>(fd, options_, now));
        lastActivity_ = now;
    }
}

void GatewayServer::handleRead(GatewayConnection& c, std::int64_t now) {
    if (c.onReadable() != GatewayConnection::ReadResult::RequestComplete)
        return;
    ++requests_;
    if (options_.maxRequests > 0 && requests_ >= options_.maxRequests)
        stopListening();
    c.respond(replyFor(c.head()), now);
}

void GatewayServer::run(const volatile std::sig_atomic_t& stop) {
    lastActivity_ = nowMs();
    std::vector<pollfd> fds;
    while (!stop) {
        std::int64_t now = nowMs();
        runDue(now);
        std::erase_if(connections_, [](const auto& c) { return c->closed(); });
        if (finished(now))
            return;
        fds.clear();
        bool listening = listenFd_ >= 0 && connections_.size() < maxConnections_;
        if (listening)
            fds.push_back({listenFd_, POLLIN, 0});
        for (const auto& c : connections_)
            fds.push_back({c->fd(), c->pollEvents(), 0});
        if (::poll(fds.data(), fds.size(), pollTimeout(now)) < 0) {
            if (errno == EINTR)
                continue;
            failWith("poll");
        }
        now = nowMs();
        std::size_t first = listening ? 1 : 0;
        for (std::size_t i = first; i < fds.size(); ++i) {
            GatewayConnection& c = *connections_[i - first];
            if (fds[i].revents == 0 || c.closed())
                continue;
            lastActivity_ = now;
            if (fds[i].events == POLLIN)
                handleRead(c, now);
            else if (fds[i].events == POLLOUT)
                c.onWritable(now);
            else
                c.drop(); // hung up while its reply waits for time: nobody is left to read it
        }
        if (listening && (fds[0].revents & POLLIN))
            acceptClients(now);
    }
}

} // namespace zendrel::gateway
