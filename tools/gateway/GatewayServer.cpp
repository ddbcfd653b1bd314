#include "tools/gateway/GatewayServer.h"

#include "tools/gateway/ListenSocket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
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

} // namespace

std::string PortLine(const GatewayPorts& ports) {
    std::string line = std::to_string(ports.web);
    if (ports.whois)
        line += " whois=" + std::to_string(*ports.whois);
    if (ports.tls)
        line += " tls=" + std::to_string(*ports.tls);
    return line;
}

GatewayServer::GatewayServer(GatewayOptions options, NameRegistry names)
    : options_(std::move(options)), names_(std::move(names)), answers_(options_, names_),
      maxConnections_(connectionLimit()) {}

GatewayServer::~GatewayServer() {
    stopListening();
}

std::uint16_t GatewayServer::open(std::uint16_t port, ListenerKind kind) {
    std::uint16_t bound = 0;
    listeners_.push_back({ListenOnLoopback(port, bound), kind});
    return bound;
}

GatewayPorts GatewayServer::listen() {
    GatewayPorts ports;
    ports.web = open(options_.port, ListenerKind::Web);
    if (options_.whoisPort)
        ports.whois = open(*options_.whoisPort, ListenerKind::Whois);
    if (options_.tlsPort) {
        tls_ = std::make_unique<TlsContext>(options_.tlsCert, options_.tlsKey);
        ports.tls = open(*options_.tlsPort, ListenerKind::Tls);
    }
    return ports;
}

void GatewayServer::stopListening() {
    for (const Listener& l : listeners_)
        ::close(l.fd);
    listeners_.clear();
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

void GatewayServer::acceptClients(const Listener& listener, std::int64_t now) {
    while (connections_.size() < maxConnections_) {
        int fd = ::accept4(listener.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return; // EAGAIN, or out of descriptors: the backlog waits for the next pass
        lastActivity_ = now;
        RequestKind kind =
            listener.kind == ListenerKind::Whois ? RequestKind::Whois : RequestKind::Web;
        auto stream = listener.kind == ListenerKind::Tls ? tls_->accept(fd) : MakePlainStream(fd);
        if (stream)
            connections_.push_back(
                std::make_unique<GatewayConnection>(std::move(stream), kind, options_, now));
    }
}

void GatewayServer::answer(GatewayConnection& c, std::int64_t now) {
    ++requests_;
    if (options_.maxRequests > 0 && requests_ >= options_.maxRequests)
        stopListening();
    if (c.kind() == RequestKind::Whois)
        c.respond(answers_.whois(c.request()), now);
    else
        c.respond(answers_.web(c.request(), c.overTls()), now);
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
        std::size_t listening = connections_.size() < maxConnections_ ? listeners_.size() : 0;
        for (std::size_t i = 0; i < listening; ++i)
            fds.push_back({listeners_[i].fd, POLLIN, 0});
        for (const auto& c : connections_)
            fds.push_back({c->fd(), c->pollEvents(), 0});
        if (::poll(fds.data(), fds.size(), pollTimeout(now)) < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
        }
        now = nowMs();
        for (std::size_t i = listening; i < fds.size(); ++i) {
            GatewayConnection& c = *connections_[i - listening];
            if (fds[i].revents == 0 || c.closed())
                continue;
            lastActivity_ = now;
            if (c.onEvents(fds[i].revents, now))
                answer(c, now);
        }
        // Accepting last keeps the indexes above valid; a listener closed by the request limit
        // is gone from the list, and its slot in `fds` is passed over.
        for (std::size_t i = 0; i < listening && i < listeners_.size(); ++i)
            if (fds[i].revents & POLLIN)
                acceptClients(listeners_[i], now);
    }
}

} // namespace zendrel::gateway
