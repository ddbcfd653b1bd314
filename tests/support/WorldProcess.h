#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>

namespace zendrel::test {

// The simulated internet (zendrel-world) started for a test or benchmark on free loopback
// ports, stopped (and waited for) when the object goes.
class WorldProcess {
public:
    // Starts `program` on `configPath`; it ends by itself after `idleExitMs` without a client.
    // Throws std::runtime_error when it does not report its ports within a few seconds.
    WorldProcess(const std::string& program, const std::string& configPath, int idleExitMs = 20000);
    ~WorldProcess();
    WorldProcess(const WorldProcess&) = delete;
    WorldProcess& operator=(const WorldProcess&) = delete;

    // The port of the server a section named ("dns" for the name server); 0 when unknown.
    std::uint16_t port(const std::string& server) const;

    // Stops the program and returns what it reported about each server: the value of `key` in
    // its "stats SERVER …" line, keyed "SERVER.key" (e.g. "afnic.refused").
    std::map<std::string, long> stop();

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::map<std::string, std::uint16_t> ports_;
};

} // namespace zendrel::test
