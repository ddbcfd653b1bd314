// The HTTP client against a local nginx: sequential GETs with one reused client, 100 clients at
// once, and the heap cost of one idle client; beside each, the same work done by curl in the
// same run. curl is asked for HTTP/1.0 so that both sides open one connection per document.
#include "bench/ClientTiming.h"
#include "bench/ProcessFigures.h"
#include "net/HttpProt.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <signal.h>
#include <stdlib.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace zendrel;

namespace {

using bench::Clock;
using bench::MsSince;

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

int FreePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(0);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

bool Accepting(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(port);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// nginx on 127.0.0.1:port serving `dir`/www, everything it writes kept inside `dir`.
pid_t StartNginx(const std::string& dir, int port) {
    mkdir((dir + "www").c_str(), 0755);
    std::string c = geteuid() == 0 ? "user root;\n" : "";
    c += "worker_processes 1;\ndaemon off;\nerror_log " + dir + "error.log;\npid " + dir +
         "nginx.pid;\nevents { worker_connections 1024; }\nhttp {\n access_log off;\n";
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        c += std::string(" ") + kind + "_temp_path " + dir + "tmp_" + kind + ";\n";
    c += " server { listen 127.0.0.1:" + std::to_string(port) + "; root " + dir + "www; }\n}\n";
    WriteFile(dir + "nginx.conf", c);
    pid_t pid = bench::SpawnQuietly(
        {"/usr/sbin/nginx", "-p", dir, "-c", dir + "nginx.conf", "-e", dir + "error.log"});
    for (int i = 0; i < 500 && !Accepting(port); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return pid;
}

double CurlMs(const std::vector<std::string>& args) {
    bool ok = false;
    return bench::RunQuietlyMs(args, ok);
}

std::size_t IdleClientBytes(MessageLoop& loop) {
    const int n = 1000;
    std::vector<std::unique_ptr<THttpCli>> clients;
    clients.reserve(n);
    std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < n; ++i)
        clients.push_back(std::make_unique<THttpCli>(loop));
    std::size_t after = mallinfo2().uordblks;
    return (after - before) / n;
}

} // namespace

int main() {
    char tmpl[] = "/tmp/zendrel-bench-XXXXXX";
    std::string dir = std::string(mkdtemp(tmpl)) + "/";
    const int port = FreePort();
    pid_t nginx = StartNginx(dir, port);
    WriteFile(dir + "www/page2k.html", std::string(2048, 'w'));
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/page2k.html";

    const int seq = 1000, par = 100, rounds = 3;
    WriteFile(dir + "seq.curl", [&] {
        std::string k;
        for (int i = 0; i < seq; ++i)
            k += "url = \"" + url + "\"\noutput = \"/dev/null\"\n";
        return k;
    }());
    std::vector<std::string> parallel{"/usr/bin/curl",  "-s", "--http1.0", "--parallel",
                                      "--parallel-max", "100"};
    for (int i = 0; i < par; ++i) {
        parallel.push_back(url);
        parallel.push_back("-o");
        parallel.push_back("/dev/null");
    }

    signal(SIGPIPE, SIG_IGN);
    MessageLoop loop;
    double ourSeq = 1e18, curlSeq = 1e18, ourPar = 1e18, curlPar = 1e18;
    for (int r = 0; r < rounds; ++r) {
        ourSeq = std::min(ourSeq, bench::OurSequentialMs(loop, url, seq, [](THttpCli*) {}));
        curlSeq =
            std::min(curlSeq, CurlMs({"/usr/bin/curl", "-s", "--http1.0", "-K", dir + "seq.curl"}));
        ourPar = std::min(ourPar, bench::OurConcurrentMs(loop, url, par, [](THttpCli*) {}));
        curlPar = std::min(curlPar, CurlMs(parallel));
    }
    std::printf("http.get_per_s: %.0f req/s\n", seq * 1000.0 / ourSeq);
    std::printf("http.curl_get_per_s: %.0f req/s\n", seq * 1000.0 / curlSeq);
    std::printf("http.concurrent100_wall_ms: %.1f ms\n", ourPar);
    std::printf("http.curl_concurrent100_wall_ms: %.1f ms\n", curlPar);
    std::printf("http.client_bytes: %zu bytes\n", IdleClientBytes(loop));

    kill(nginx, SIGTERM);
    waitpid(nginx, nullptr, 0);
    std::string rm = "rm -rf '" + dir + "'";
    return std::system(rm.c_str()) == 0 ? 0 : 1;
}
