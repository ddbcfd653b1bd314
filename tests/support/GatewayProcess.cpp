#include "tests/support/GatewayProcess.h"

#include <chrono>
#include <poll.h>
#include <signal.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zendrel::test {

namespace {

// Reads the first line the child prints, waiting at most `timeoutMs` in total.
std::string readFirstLine(int fd, int timeoutMs) {
    std::string line;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (line.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char c;
        if (::read(fd, &c, 1) != 1)
            break;
        line += c;
    }
    return line;
}

// The port after "KEY=" in the gateway's port line; 0 when the line has none.
std::uint16_t portAfter(const std::string& line, const std::string& key) {
    std::size_t at = line.find(" " + key + "=");
    return at == std::string::npos
               ? 0
               : static_cast<std::uint16_t>(std::stoi(line.substr(at + key.size() + 2)));
}

} // namespace

GatewayProcess::GatewayProcess(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), {program, "--port", "0"});
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string line = readFirstLine(out[0], 10000);
    ::close(out[0]);
    if (pid_ < 0 || line.empty() || line.back() != '\n') {
        if (pid_ > 0 && !waitForExit(1000)) {
            ::kill(pid_, SIGKILL); // started but silent: never leave it behind
            ::waitpid(pid_, nullptr, 0);
        }
        throw std::runtime_error("the gateway did not start: " + program);
    }
    port_ = static_cast<std::uint16_t>(std::stoi(line));
    whoisPort_ = portAfter(line, "whois");
    tlsPort_ = portAfter(line, "tls");
}

GatewayProcess::~GatewayProcess() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    if (!waitForExit(5000)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::optional<int> GatewayProcess::waitForExit(int timeoutMs) {
    if (pid_ <= 0)
        return std::nullopt;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace zendrel::test
