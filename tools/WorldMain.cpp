// zendrel-world: several simulated registries and a name server on loopback ports, for tests
// and benchmarks that must meet rate limits, refusals and blocks as real registries apply them.
#include "tools/world/WorldConfig.h"
#include "tools/world/WorldServer.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
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

std::string usage() {
    return "usage: zendrel-world [--idle-exit-ms N] CONFIG\n"
           "Starts the servers CONFIG describes on 127.0.0.1, prints one \"NAME PORT\" line per\n"
           "server and then \"ready\"; on SIGTERM or SIGINT (or after N ms without a client)\n"
           "prints one \"stats NAME …\" line per server and ends.\n\n" +
           zendrel::world::WorldConfigHelp();
}

struct Arguments {
    std::string config;
    int idleExitMs = 0;
};

bool parseArguments(const std::vector<std::string>& args, Arguments& out) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--idle-exit-ms" && i + 1 < args.size()) {
            const std::string& v = args[++i];
            auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out.idleExitMs);
            if (ec != std::errc() || end != v.data() + v.size() || out.idleExitMs < 0)
                return false;
        } else if (out.config.empty() && !args[i].starts_with("-")) {
            out.config = args[i];
        } else {
            return false;
        }
    }
    return !out.config.empty();
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

} // namespace

int main(int argc, char** argv) {
    using namespace zendrel::world;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    Arguments a;
    if (!parseArguments(args, a)) {
        std::fprintf(stderr, "zendrel-world: bad arguments\n%s", usage().c_str());
        return 2;
    }
    std::ifstream in(a.config, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    auto config = in ? ReadWorldConfig(text.str(), folderOf(a.config), error) : std::nullopt;
    if (!config) {
        std::fprintf(stderr, "zendrel-world: %s: %s\n", a.config.c_str(),
                     in ? error.c_str() : "cannot read it");
        return 2;
    }
    try {
        installStopHandlers();
        WorldServer server(std::move(*config));
        std::printf("%sready\n", server.listen().c_str());
        std::fflush(stdout);
        server.run(gStop, a.idleExitMs);
        std::fputs(server.report().c_str(), stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zendrel-world: %s\n", e.what());
        return 1;
    }
    return 0;
}
