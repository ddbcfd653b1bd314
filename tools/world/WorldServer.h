#pragma once

#include "tools/world/RegistryPolicy.h"
#include "tools/world/WorldConfig.h"
#include "tools/world/WorldConnection.h"

#include <csignal>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zendrel::world {

// Every simulated server of a configuration in one single-threaded poll() loop on 127.0.0.1:
// one TCP port per registry, one UDP port for the name server.
class WorldServer {
public:
    explicit WorldServer(WorldConfig config);
    ~WorldServer();
    WorldServer(const WorldServer&) = delete;
    WorldServer& operator=(const WorldServer&) = delete;

    // Binds every port; returns one "NAME PORT" line per server, registries in file order, then
    // the name server as "dns PORT". Throws std::runtime_error with the system's reason when a
    // port cannot be had.
    std::string listen();

    // Serves until `stop` becomes non-zero or nothing happened for `idleExitMs` (0: never).
    void run(const volatile std::sig_atomic_t& stop, int idleExitMs);

    // One "stats NAME key=value …" line per server: queries, and how they were treated.
    std::string report() const;

private:
    struct Registry {
        RegistryTerms terms;
        std::unique_ptr<RegistryPolicy> policy;
        int fd = -1;
    };
    struct DnsCounts {
        long queries = 0;
        long delegated = 0;
    };

    int pollTimeout(std::int64_t now, int idleExitMs) const;
    void runDue(std::int64_t now);
    void acceptClients(std::size_t registry, std::int64_t now);
    void serviceConnection(WorldConnection& c, short events, std::int64_t now);
    void handleQuery(WorldConnection& c, std::int64_t now);
    void serveDns();
    Delegation delegationOf(const std::string& name) const;

    WorldConfig config_;
    std::vector<Registry> registries_;
    int dnsFd_ = -1;
    DnsCounts dnsCounts_;
    std::size_t maxConnections_;
    std::int64_t lastActivity_ = 0;
    std::vector<std::unique_ptr<WorldConnection>> connections_;
};

} // namespace zendrel::world
