// zendrel-gateway: a local WHOIS gateway (web, TLS and port 43) for tests and the demo workspace.
// See GatewayUsage().
#include "tools/gateway/DemoCertificates.h"
#include "tools/gateway/GatewayOptions.h"
#include "tools/gateway/GatewayServer.h"
#include "tools/gateway/NameRegistry.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t gStop = 0;

void requestStop(int) {
    gStop = 1;
}

void installStopHandlers() {
    struct sigaction sa {};
    sa.sa_handler = requestStop; // no SA_RESTART: poll() returns at once
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int makeCertificates(const std::string& dir) {
    try {
        zendrel::gateway::WriteDemoCertificates(dir);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zendrel-gateway: %s\n", e.what());
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace zendrel::gateway;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(GatewayUsage().c_str(), stdout);
        return 0;
    }
    std::string error;
    auto options = ParseGatewayOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "zendrel-gateway: %s\n%s", error.c_str(), GatewayUsage().c_str());
        return 2;
    }
    if (!options->makeCertificatesDir.empty())
        return makeCertificates(options->makeCertificatesDir);
    NameRegistry names;
    if (options->builtInNames)
        names.addBuiltIn();
    for (const auto& file : options->nameFiles) {
        if (!names.addFile(file)) {
            std::fprintf(stderr, "zendrel-gateway: cannot read name list %s\n", file.c_str());
            return 2;
        }
    }
    try {
        installStopHandlers();
        GatewayServer server(*options, std::move(names));
        std::printf("%s\n", PortLine(server.listen()).c_str());
        std::fflush(stdout);
        server.run(gStop);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zendrel-gateway: %s\n", e.what());
        return 1;
    }
    return 0;
}
