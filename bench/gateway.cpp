// Throughput and memory of the local demo gateway: sequential requests per second, the time to
// serve many clients at once, and the gateway's resident memory idle and after that burst (the
// ratio shows that memory per connection stays bounded).
#include "bench/ProcessFigures.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSequential = 2000;
constexpr int kConcurrent = 1000;

pid_t startGateway(int& port) {
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        const char* program = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";
        ::execl(program, program, "--port", "0", "--idle-exit-ms", "60000", nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(out[0]);
    port = line.empty() ? 0 : std::stoi(line);
    return pid;
}

int connectTo(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    std::string request = "GET /whois?name=shop.com HTTP/1.0\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::size_t readAll(int fd) {
    std::size_t total = 0;
    char buf[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0)
            break;
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return total;
}

long peakRssKb(pid_t pid) {
    return zendrel::bench::StatusKb("/proc/" + std::to_string(pid) + "/status", "VmHWM:");
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main() {
    struct rlimit lim {};
    ::getrlimit(RLIMIT_NOFILE, &lim);
    lim.rlim_cur = lim.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &lim);
    int port = 0;
    pid_t pid = startGateway(port);
    if (pid <= 0 || port == 0) {
        std::fprintf(stderr, "the gateway did not start\n");
        return 1;
    }
    long idleKb = peakRssKb(pid);

    auto start = std::chrono::steady_clock::now();
    int served = 0;
    for (int i = 0; i < kSequential; ++i)
        served += readAll(connectTo(port)) > 0;
    std::printf("gateway.sequential_req_per_s: %.0f req/s\n", served / secondsSince(start));

    start = std::chrono::steady_clock::now();
    std::vector<int> fds;
    for (int i = 0; i < kConcurrent; ++i)
        fds.push_back(connectTo(port));
    served = 0;
    for (int fd : fds)
        served += fd >= 0 && readAll(fd) > 0;
    std::printf("gateway.concurrent_%d_wall_ms: %.1f ms\n", kConcurrent,
                secondsSince(start) * 1000);
    std::printf("gateway.concurrent_served: %d clients\n", served);
    std::printf("gateway.rss_idle_kb: %ld kB\n", idleKb);
    std::printf("gateway.rss_after_burst_kb: %ld kB\n", peakRssKb(pid));

    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    return 0;
}
