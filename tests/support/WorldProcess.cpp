#include "tests/support/WorldProcess.h"

#include <chrono>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zendrel::test {

namespace {

// Reads one line, waiting until `end` at most; false when none came in time.
bool readLine(int fd, std::chrono::steady_clock::time_point end, std::string& line) {
    line.clear();
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char c;
        if (::read(fd, &c, 1) != 1)
            return false;
        if (c == '\n')
            return true;
        line += c;
    }
}

void endChild(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

} // namespace

WorldProcess::WorldProcess(const std::string& program, const std::string& configPath,
                           int idleExitMs) {
    std::vector<std::string> args = {program, "--idle-exit-ms", std::to_string(idleExitMs),
                                     configPath};
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
    out_ = out[0];
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string line;
    while (readLine(out_, end, line) && line != "ready") {
        std::istringstream words(line);
        std::string name;
        int port = 0;
        if (words >> name >> port)
            ports_[name] = static_cast<std::uint16_t>(port);
    }
    if (pid_ < 0 || line != "ready") {
        if (pid_ > 0)
            endChild(pid_);
        ::close(out_);
        throw std::runtime_error("the simulated internet did not start: " + program + " " +
                                 configPath);
    }
}

WorldProcess::~WorldProcess() {
    stop();
}

std::uint16_t WorldProcess::port(const std::string& server) const {
    auto it = ports_.find(server);
    return it == ports_.end() ? 0 : it->second;
}

std::map<std::string, long> WorldProcess::stop() {
    std::map<std::string, long> stats;
    if (pid_ <= 0)
        return stats;
    ::kill(pid_, SIGTERM);
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string line;
    while (readLine(out_, end, line)) {
        std::istringstream words(line);
        std::string tag, server, pair;
        if (!(words >> tag >> server) || tag != "stats")
            continue;
        while (words >> pair) {
            std::size_t eq = pair.find('=');
            if (eq != std::string::npos)
                stats[server + "." + pair.substr(0, eq)] = std::stol(pair.substr(eq + 1));
        }
    }
    endChild(pid_);
    pid_ = -1;
    ::close(out_);
    return stats;
}

} // namespace zendrel::test
