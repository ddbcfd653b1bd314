// The HTTP client over TLS: sequential GETs of a local nginx TLS page with one reused client (a
// new connection and a handshake per document), 100 clients at once, and beside each the
// same work done by curl in the same run; then the resident memory of a search with 100 TLS
// lookups connected and waiting for their replies. The certificates are made for the run, so
// both clients verify against a CA that exists only in it.
#include "bench/ClientTiming.h"
#include "bench/SearchBench.h"
#include "net/HttpProt.h"
#include "tests/support/GatewayProcess.h"
#include "tests/support/NginxServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestTrust.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <signal.h>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace zendrel;

namespace {

using bench::Clock;
using bench::MsSince;

int failures = 0; // transfers that did not bring the page: their times would not be figures

// curl asked for what our client does on an https:// line: HTTP/1.1 with "Connection: close",
// so the server closes after each document and every document costs a new TCP connection and a
// new TLS handshake, the certificate checked against the run's CA. Both keep the session of the
// first handshake, as people run them: later handshakes resume it with nginx's ticket (no
// certificate sent, signed or checked).
std::vector<std::string> CurlCommand(const std::string& caFile) {
    return {"/usr/bin/curl", "-s",   "--fail",   "--http1.1",
            "--cacert",      caFile, "--header", "Connection: close"};
}

// The wall time of a curl run; a failed run is counted.
double CurlMs(const std::vector<std::string>& argv) {
    bool ok = false;
    const double ms = bench::RunQuietlyMs(argv, ok);
    failures += !ok;
    return ms;
}

// A transfer that did not bring the page would time a failure.
void CheckReply(THttpCli* c) {
    failures += c->StatusCode() != 200;
}

// Resident memory of this process while a search holds 100 TLS lookups: the gateway completes
// each handshake, reads the request and then keeps the reply back for a minute. Measured before
// anything else in the process has used the heap for TLS.
double LiveLookupsRssMb() {
    test::TempDir dir;
    const PemPair identity = test::LoopbackCertificate();
    dir.write("cert.pem", identity.certificate);
    dir.write("key.pem", identity.key);
    test::GatewayProcess gateway(ZENDREL_BINARY_DIR "/tools/zendrel-gateway",
                                 {"--tls-port", "free", "--tls-cert", dir.file("cert.pem"),
                                  "--tls-key", dir.file("key.pem"), "--delay-ms", "60000",
                                  "--idle-exit-ms", "60000"});
    // An https:// line is paced per server like a registry's unless it says otherwise.
    bench::SearchBench b("bench;https://127.0.0.1:" + std::to_string(gateway.tlsPort()) +
                         "/whois?name=%s;1;com;pace=100000/s;conns=100");
    b.start(200);
    b.loop.runUntil([&] { return b.session.variables().activeLookups >= 100; }, 60000);
    b.loop.runUntil([] { return false; }, 1000); // let every handshake and request finish
    const double mb = static_cast<double>(bench::RssKb()) / 1024;
    failures += b.session.variables().activeLookups < 100;
    b.session.stop();
    b.finish(10000);
    return mb;
}

} // namespace

int main() {
    signal(SIGPIPE, SIG_IGN);
    test::TrustedTestCa(); // before the first TLS connection of the process
    const std::string caFile = getenv("SSL_CERT_FILE");
    const double rssMb = LiveLookupsRssMb();

    // The protocols registries speak today; this nginx would offer TLS 1.2 at most by itself.
    test::NginxServer nginx(test::LoopbackCertificate(), "    ssl_protocols TLSv1.2 TLSv1.3;\n");
    nginx.addPage("page2k.html", std::string(2048, 'w'));
    const std::string url = nginx.url("/page2k.html");

    const int seq = 1000, par = 100, rounds = 3;
    test::TempDir dir;
    dir.write("seq.curl", [&] {
        std::string k;
        for (int i = 0; i < seq; ++i)
            k += "url = \"" + url + "\"\noutput = \"/dev/null\"\n";
        return k;
    }());
    std::vector<std::string> sequential = CurlCommand(caFile);
    sequential.insert(sequential.end(), {"-K", dir.file("seq.curl")});
    // All at once: no waiting for a first connection to see whether it could be shared.
    std::vector<std::string> parallel = CurlCommand(caFile);
    parallel.insert(parallel.end(),
                    {"--parallel", "--parallel-immediate", "--parallel-max", std::to_string(par)});
    for (int i = 0; i < par; ++i)
        parallel.insert(parallel.end(), {url, "-o", "/dev/null"});

    MessageLoop loop;
    double ourSeq = 1e18, curlSeq = 1e18, ourPar = 1e18, curlPar = 1e18;
    for (int r = 0; r < rounds; ++r) {
        ourSeq = std::min(ourSeq, bench::OurSequentialMs(loop, url, seq, CheckReply));
        curlSeq = std::min(curlSeq, CurlMs(sequential));
        ourPar = std::min(ourPar, bench::OurConcurrentMs(loop, url, par, CheckReply));
        curlPar = std::min(curlPar, CurlMs(parallel));
    }
    std::printf("https.get_per_s: %.0f req/s\n", seq * 1000.0 / ourSeq);
    std::printf("https.curl_get_per_s: %.0f req/s\n", seq * 1000.0 / curlSeq);
    std::printf("https.concurrent100_wall_ms: %.1f ms\n", ourPar);
    std::printf("https.curl_concurrent100_wall_ms: %.1f ms\n", curlPar);
    std::printf("https.rss_mb_100_live: %.1f MB\n", rssMb);
    if (failures == 0)
        return 0;
    std::fprintf(stderr, "https: %d transfers or runs failed\n", failures);
    return 1;
}
