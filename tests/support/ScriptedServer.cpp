#include "tests/support/ScriptedServer.h"

#include "tests/support/LoopbackListener.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::test {

namespace {

constexpr int kReadLimitMs = 5000;
constexpr int kHoldLimitMs = 20000;

// A request is complete after its blank line and, when it announces one, its body.
bool Complete(const std::string& got) {
    std::size_t end = got.find("\r\n\r\n");
    if (end == std::string::npos)
        return false;
    std::size_t cl = got.find("Content-Length: ");
    if (cl == std::string::npos || cl > end)
        return true;
    std::size_t length = std::stoul(got.substr(cl + 16));
    return got.size() >= end + 4 + length;
}

} // namespace

ScriptedServer::ScriptedServer(Script script, int maxConnections)
    : ScriptedServer([script](int) { return script; }, maxConnections) {}

ScriptedServer::ScriptedServer(std::function<Script(int)> scriptFor, int maxConnections)
    : scriptFor_(std::move(scriptFor)), maxConnections_(maxConnections) {
    listenFd_ = ListenOnLoopback(256, port_);
    requests_.resize(static_cast<std::size_t>(maxConnections));
    acceptor_ = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    stop();
}

std::string ScriptedServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> ScriptedServer::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<std::string>(requests_.begin(), requests_.begin() + accepted_.load());
}

void ScriptedServer::stop() {
    stopping_ = true;
    if (acceptor_.joinable())
        acceptor_.join();
    for (std::thread& t : workers_)
        t.join();
    workers_.clear();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    listenFd_ = -1;
}

void ScriptedServer::acceptLoop() {
    while (!stopping_ && accepted_ < maxConnections_) {
        const int fd = AcceptWithinATick(listenFd_);
        if (fd < 0)
            continue;
        // Counted before the worker starts: it may answer, and the client's test read
        // requests(), before this thread runs again.
        const int index = accepted_++;
        workers_.emplace_back([this, fd, index] { play(fd, index); });
    }
}

void ScriptedServer::sleepUnlessStopped(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopping_ && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void ScriptedServer::streamFor(int fd, const std::string& bytes, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::size_t off = 0;
    while (!stopping_ && std::chrono::steady_clock::now() < end) {
        // Waits for room without blocking, so a peer that stops reading cannot hold the thread.
        pollfd p{fd, POLLOUT, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        if (p.revents & (POLLERR | POLLHUP))
            return;
        ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (n <= 0)
            return;
        off = (off + static_cast<std::size_t>(n)) % bytes.size();
    }
}

bool ScriptedServer::readRequest(int fd, int index, bool lineOnly) {
    std::string got;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadLimitMs);
    auto done = [&] { return lineOnly ? got.find('\n') != std::string::npos : Complete(got); };
    while (!stopping_ && !done() && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        char buf[4096];
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    std::lock_guard<std::mutex> lock(mutex_);
    requests_[static_cast<std::size_t>(index)] = got;
    return !got.empty();
}

void ScriptedServer::sendAll(int fd, const std::string& bytes) {
    std::size_t off = 0;
    while (off < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        off += static_cast<std::size_t>(n);
    }
}

void ScriptedServer::play(int fd, int index) {
    Script script = scriptFor_(index);
    for (const Step& s : script) {
        if (s.kind == Step::ReadRequest || s.kind == Step::ReadLine) {
            readRequest(fd, index, s.kind == Step::ReadLine);
        } else if (s.kind == Step::Echo) {
            readRequest(fd, index, false);
            std::string got;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                got = requests_[static_cast<std::size_t>(index)];
            }
            sendAll(fd, got);
        } else if (s.kind == Step::Send) {
            sendAll(fd, s.bytes);
        } else if (s.kind == Step::Stream) {
            streamFor(fd, s.bytes, s.ms);
        } else if (s.kind == Step::Pause) {
            sleepUnlessStopped(s.ms);
        } else if (s.kind == Step::Hold) {
            sleepUnlessStopped(kHoldLimitMs);
        } else if (s.kind == Step::Reset) {
            linger l{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
            break;
        } else {
            break;
        }
    }
    ::close(fd);
}

} // namespace zendrel::test
