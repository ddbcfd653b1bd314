// A search run over port-43 WHOIS against the local gateway: lookups per second at 100
// connections and process CPU per lookup. A whois:// line is paced per server (one lookup a
// second, two at once) unless it says otherwise; this line allows far more than the run can
// start, so the pace never holds a lookup back. The run hands out one row per 10 ms tick, so the
// rate tops out at 100 lookups a second as on web lines; the CPU figure is the lookup's own cost.
#include "bench/SearchBench.h"
#include "tests/support/GatewayProcess.h"

#include <chrono>
#include <cstdio>

using namespace zendrel;

int main() {
    test::GatewayProcess gateway(ZENDREL_BINARY_DIR "/tools/zendrel-gateway",
                                 {"--whois-port", "free", "--idle-exit-ms", "60000"});
    bench::SearchBench b("bench;whois://127.0.0.1:" + std::to_string(gateway.whoisPort()) +
                         "/%s;1;com;pace=100000/s;conns=100");
    const int count = 5000;
    const double cpu0 = bench::CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    b.start(count);
    b.finish(600000);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("whois.lookups_per_s: %.1f lookups/s\n", count / wall);
    std::printf("whois.cpu_ms_per_lookup: %.3f ms\n", (bench::CpuSeconds() - cpu0) * 1000 / count);
    if (b.end.answered == count)
        return 0;
    std::fprintf(stderr, "whois: %d of %d lookups answered\n", b.end.answered, count);
    return 1;
}
