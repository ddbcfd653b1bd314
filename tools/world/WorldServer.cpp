#include "tools/world/WorldServer.h"

#include "tools/world/DnsAnswer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::world {

namespace {

// Far more than any test or benchmark opens at once, and well inside the default descriptor
// limit; further clients wait in the backlog.
constexpr std::size_t kMaxConnections = 512;

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

[[noreturn]] void failWith(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// A socket bound to 127.0.0.1 only: nothing here is ever reachable from another machine.
int bindLoopback(int type, int port) {
    int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        failWith("socket");
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        failWith("cannot listen on 127.0.0.1:" + std::to_string(port));
    }
    if (type == SOCK_STREAM && ::listen(fd, 512) != 0)
        failWith("listen");
    return fd;
}

int boundPort(int fd) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

const ReplyShape& shapeFor(const RegistryTerms& terms, Treatment t, Holding holding) {
    switch (t) {
    case Treatment::Refuse:
        return terms.refusal;
    case Treatment::Busy:
        return terms.busy;
    case Treatment::Blocked:
        return terms.blocked;
    case Treatment::Answer:
        break;
    }
    return holding == Holding::Registered ? terms.taken
           : holding == Holding::Hold     ? terms.hold
                                          : terms.free;
}

} // namespace

WorldServer::WorldServer(WorldConfig config) : config_(std::move(config)) {
    for (auto& terms : config_.registries) {
        Registry r;
        r.terms = std::move(terms);
        registries_.push_back(std::move(r));
    }
    // The policies keep a reference to their terms, so they are made once the terms stay put.
    for (auto& r : registries_)
        r.policy = std::make_unique<RegistryPolicy>(r.terms);
}

WorldServer::~WorldServer() {
    connections_.clear();
    for (auto& r : registries_)
        if (r.fd >= 0)
            ::close(r.fd);
    if (dnsFd_ >= 0)
        ::close(dnsFd_);
}

std::string WorldServer::listen() {
    std::string lines;
    for (auto& r : registries_) {
        r.fd = bindLoopback(SOCK_STREAM, r.terms.port);
        lines += r.terms.name + " " + std::to_string(boundPort(r.fd)) + "\n";
    }
    if (config_.dns) {
        dnsFd_ = bindLoopback(SOCK_DGRAM, config_.dns->port);
        lines += "dns " + std::to_string(boundPort(dnsFd_)) + "\n";
    }
    return lines;
}

Delegation WorldServer::delegationOf(const std::string& name) const {
    if (auto e = config_.dns->names.find(name))
        return e->delegation;
    for (const auto& r : registries_)
        if (auto e = r.terms.names.find(name))
            return e->delegation;
    return Delegation::NxDomain;
}

void WorldServer::serveDns() {
    char packet[1500];
    for (;;) {
        sockaddr_in from{};
        socklen_t len = sizeof from;
        ssize_t n =
            ::recvfrom(dnsFd_, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return;
        ++dnsCounts_.queries;
        auto reply = DnsAnswer(std::string_view(packet, static_cast<std::size_t>(n)),
                               [this](const std::string& name) {
                                   Delegation d = delegationOf(name);
                                   dnsCounts_.delegated += d == Delegation::Delegated;
                                   return d;
                               });
        if (reply)
            ::sendto(dnsFd_, reply->data(), reply->size(), 0, reinterpret_cast<sockaddr*>(&from),
                     len);
    }
}

void WorldServer::acceptClients(std::size_t registry, std::int64_t now) {
    while (connections_.size() < kMaxConnections) {
        int fd =
            ::accept4(registries_[registry].fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        connections_.push_back(std::make_unique<WorldConnection>(fd, registry, now));
    }
}

void WorldServer::handleQuery(WorldConnection& c, std::int64_t now) {
    Registry& r = registries_[c.registry()];
    Query query;
    if (ReadQuery(r.terms.service, c.received(), query) != QueryStatus::Complete) {
        c.respond(RenderBadQuery(r.terms.service, query), now);
        return;
    }
    int answering = 0;
    for (const auto& other : connections_)
        answering += other.get() != &c && other->registry() == c.registry() && other->answering();
    Treatment t = r.policy->decide(now, answering);
    auto entry = r.terms.names.find(query.name);
    const ReplyShape& shape = shapeFor(r.terms, t, entry ? entry->holding : Holding::Free);
    c.respond(RenderReply(r.terms.service, shape, query, std::time(nullptr)),
              now + r.terms.delayMs);
}

int WorldServer::pollTimeout(std::int64_t now, int idleExitMs) const {
    std::int64_t next = now + 60000;
    if (idleExitMs > 0 && connections_.empty())
        next = std::min(next, lastActivity_ + idleExitMs);
    for (const auto& c : connections_)
        if (auto due = c->due())
            next = std::min(next, *due);
    return static_cast<int>(std::max<std::int64_t>(0, next - now));
}

void WorldServer::runDue(std::int64_t now) {
    for (auto& c : connections_) {
        auto due = c->due();
        if (due && *due <= now)
            c->onDue();
    }
}

void WorldServer::run(const volatile std::sig_atomic_t& stop, int idleExitMs) {
    // The stop signals are let through only while ppoll() waits, so one that arrives while a
    // pass runs interrupts the next wait at once instead of being noticed a timeout later.
    sigset_t stopSignals, waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    ::pthread_sigmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigset_t oldMask = waitMask;
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    lastActivity_ = nowMs();
    std::vector<pollfd> fds;
    while (!stop) {
        std::int64_t now = nowMs();
        runDue(now);
        std::erase_if(connections_, [](const auto& c) { return c->closed(); });
        if (idleExitMs > 0 && connections_.empty() && now - lastActivity_ >= idleExitMs)
            break;
        fds.clear();
        for (const auto& r : registries_)
            fds.push_back({r.fd, POLLIN, 0});
        fds.push_back({dnsFd_, POLLIN, 0}); // a negative descriptor is ignored by poll()
        for (const auto& c : connections_)
            fds.push_back({c->fd(), c->pollEvents(), 0});
        int waitMs = pollTimeout(now, idleExitMs);
        timespec wait{waitMs / 1000, (waitMs % 1000) * 1000000L};
        if (::ppoll(fds.data(), fds.size(), &wait, &waitMask) < 0) {
            if (errno == EINTR)
                continue;
            failWith("poll");
        }
        now = nowMs();
        std::size_t first = registries_.size() + 1;
        for (std::size_t i = first; i < fds.size(); ++i) {
            WorldConnection& c = *connections_[i - first];
            if (fds[i].revents == 0 || c.closed())
                continue;
            lastActivity_ = now;
            serviceConnection(c, fds[i].events, now);
        }
        for (std::size_t i = 0; i < first; ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            lastActivity_ = now;
            if (i < registries_.size())
                acceptClients(i, now);
            else
                serveDns();
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
}

void WorldServer::serviceConnection(WorldConnection& c, short events, std::int64_t now) {
    if (events == POLLOUT) {
        c.onWritable();
        return;
    }
    if (events != POLLIN) {
        c.onDue(); // hung up while its reply waits for time: nobody is left to read it
        return;
    }
    bool reading = !c.answering();
    Service service = registries_[c.registry()].terms.service;
    auto result = c.onReadable([service](const std::string& in) {
        Query ignored;
        return ReadQuery(service, in, ignored) != QueryStatus::NeedMore;
    });
    if (reading && result == WorldConnection::ReadResult::QueryComplete)
        handleQuery(c, now);
}

std::string WorldServer::report() const {
    std::string out;
    for (const auto& r : registries_) {
        const RegistryStats& s = r.policy->stats();
        out += "stats " + r.terms.name + " queries=" + std::to_string(s.queries) +
               " answered=" + std::to_string(s.answered) + " refused=" + std::to_string(s.refused) +
               " busy=" + std::to_string(s.busy) + " blocked=" + std::to_string(s.blocked) +
               " blocks=" + std::to_string(s.blocks) + "\n";
    }
    if (config_.dns)
        out += "stats dns queries=" + std::to_string(dnsCounts_.queries) +
               " delegated=" + std::to_string(dnsCounts_.delegated) + "\n";
    return out;
}

} // namespace zendrel::world
