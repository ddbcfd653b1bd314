// A search run against the local gateway without a window: lookups per second at 100
// connections, process CPU per lookup, and resident memory with 100 lookups live.
#include "bench/SearchBench.h"
#include "tests/support/GatewayProcess.h"

#include <chrono>
#include <cstdio>
#include <string>

using namespace zendrel;

namespace {

// One run over the web pages of a gateway started with `args`.
struct Bench {
    test::GatewayProcess gateway;
    bench::SearchBench search;

    explicit Bench(std::vector<std::string> args)
        : gateway(ZENDREL_BINARY_DIR "/tools/zendrel-gateway", std::move(args)),
          search("bench;http://127.0.0.1:" + std::to_string(gateway.port()) +
                 "/whois?name=%s;1;com") {}
};

} // namespace

int main() {
    {
        Bench b({"--idle-exit-ms", "60000"});
        const int count = 5000;
        const double cpu0 = bench::CpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        b.search.start(count);
        b.search.finish(600000);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("run.lookups_per_s: %.1f lookups/s\n", count / wall);
        std::printf("run.cpu_ms_per_lookup: %.3f ms\n",
                    (bench::CpuSeconds() - cpu0) * 1000 / count);
    }
    {
        Bench b({"--delay-ms", "60000", "--idle-exit-ms", "60000"});
        b.search.start(200);
        b.search.loop.runUntil([&] { return b.search.session.variables().activeLookups >= 100; },
                               60000);
        b.search.loop.runUntil([] { return false; }, 500); // let every connection reach its wait
        std::printf("run.rss_mb_100_live: %.1f MB\n", static_cast<double>(bench::RssKb()) / 1024);
        b.search.session.stop();
        b.search.finish(10000);
    }
    return 0;
}
