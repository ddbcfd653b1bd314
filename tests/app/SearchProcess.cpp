#include "tests/app/SearchProcess.h"

#include "tests/support/ChildProcess.h"

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace zendrel::test {

namespace {

using Clock = std::chrono::steady_clock;

const char* kSearch = ZENDREL_BINARY_DIR "/app/zendrel-search";
constexpr int kKillAfterMs = 60000;

// The child's side: standard input, output and error as `call` asks, then the program.
[[noreturn]] void StartChild(const SearchCall& call, const TempDir& scratch, int outPipe,
                             int terminal) {
    const std::string in = call.input ? scratch.file("stdin") : "/dev/null";
    const int inFd = ::open(in.c_str(), O_RDONLY);
    if (inFd < 0 || ::dup2(inFd, 0) < 0)
        ::_exit(126);
    const int errFd =
        terminal >= 0 ? terminal
                      : ::open(scratch.file("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (errFd < 0 || ::dup2(errFd, 2) < 0)
        ::_exit(126);
    switch (call.output) {
    case Output::File: {
        const int fd = ::open(scratch.file("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::dup2(fd, 1) < 0)
            ::_exit(126);
        break;
    }
    case Output::Full: {
        const int fd = ::open("/dev/full", O_WRONLY);
        if (fd < 0 || ::dup2(fd, 1) < 0)
            ::_exit(126);
        break;
    }
    case Output::Closed:
        ::close(1);
        break;
    case Output::ReaderGone:
        if (::dup2(outPipe, 1) < 0)
            ::_exit(126);
        break;
    }
    std::vector<char*> argv{const_cast<char*>(kSearch)};
    for (const auto& a : call.args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(kSearch, argv.data());
    ::_exit(127);
}

// Reads what is there on `fd` into `into`; false at its end (or when nothing more is there on a
// descriptor that does not block).
bool Drain(int fd, std::string& into) {
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0)
        into.append(buf, static_cast<std::size_t>(n));
    return n > 0;
}

} // namespace

SearchOutcome RunSearchProgram(const SearchCall& call, const TempDir& scratch) {
    if (call.input)
        scratch.write("stdin", *call.input);
    int out[2] = {-1, -1};
    if (call.output == Output::ReaderGone && ::pipe(out) != 0)
        return {};
    int master = -1, slave = -1;
    winsize size{24, 80, 0, 0};
    if (call.errorOnTerminal && ::openpty(&master, &slave, nullptr, nullptr, &size) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (out[0] >= 0)
            ::close(out[0]);
        if (master >= 0)
            ::close(master);
        StartChild(call, scratch, out[1], slave);
    }
    if (out[1] >= 0)
        ::close(out[1]);
    if (out[0] >= 0 && call.keepBytes == 0) {
        ::close(out[0]); // the reader has gone before the program writes a byte
        out[0] = -1;
    }
    if (slave >= 0)
        ::close(slave);

    SearchOutcome o;
    std::string terminalText;
    const auto start = Clock::now();
    bool interrupted = call.interruptAfterMs < 0;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (!interrupted && ms >= call.interruptAfterMs) {
            ::kill(pid, SIGINT);
            interrupted = true;
        }
        if (ms > kKillAfterMs)
            ::kill(pid, SIGKILL);
        std::vector<pollfd> fds;
        if (out[0] >= 0)
            fds.push_back({out[0], POLLIN, 0});
        if (master >= 0)
            fds.push_back({master, POLLIN, 0});
        ::poll(fds.data(), fds.size(), 20);
        for (const pollfd& p : fds) {
            if (!(p.revents & (POLLIN | POLLHUP)))
                continue;
            if (p.fd == master && !Drain(master, terminalText))
                ::close(master), master = -1;
            if (p.fd == out[0] && (!Drain(out[0], o.out) || o.out.size() >= call.keepBytes)) {
                ::close(out[0]); // the reader goes away, as `head` does once it has its lines
                out[0] = -1;
            }
        }
    }
    if (master >= 0) {
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        while (Drain(master, terminalText)) {
        }
        ::close(master);
    }
    if (out[0] >= 0)
        ::close(out[0]);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (call.output == Output::File)
        o.out = scratch.read("stdout");
    o.err = call.errorOnTerminal ? terminalText : scratch.read("stderr");
    return o;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string ReadCliData(const std::string& name) {
    std::ifstream in(ZENDREL_TEST_DATA "/cli/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFixedWorkspace(const TempDir& dir, std::uint16_t gatewayPort) {
    for (const char* name : {"domain.txt", "method.txt", "default.txt", "param.txt"}) {
        std::string bytes = ReadCliData(std::string("workspace/") + name);
        bytes = ReplaceAll(bytes, "@PORT@", std::to_string(gatewayPort));
        bytes = ReplaceAll(bytes, "@DEADPORT@", std::to_string(FreeLoopbackPort()));
        dir.write(name, bytes);
    }
}

} // namespace zendrel::test
