#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace zendrel::test {

// The local WHOIS gateway program started for a test on a free loopback port, stopped (and
// waited for) when the object goes.
class GatewayProcess {
public:
    // Starts `program` with `args` plus "--port 0" and reads the port it prints. Throws
    // std::runtime_error when it does not start or prints no port within a few seconds.
    GatewayProcess(const std::string& program, std::vector<std::string> args);
    ~GatewayProcess();
    GatewayProcess(const GatewayProcess&) = delete;
    GatewayProcess& operator=(const GatewayProcess&) = delete;

    std::uint16_t port() const { return port_; }

    // Waits up to `timeoutMs` for the program to end by itself; its exit status, or none when
    // it is still running (or ended by a signal, given as 128 + signal number).
    std::optional<int> waitForExit(int timeoutMs);

private:
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
};

} // namespace zendrel::test
