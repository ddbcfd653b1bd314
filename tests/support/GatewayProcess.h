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
    // Starts `program` with `args` plus "--port 0" and reads the ports it prints. Throws
    // std::runtime_error when it does not start or prints no port within a few seconds.
    GatewayProcess(const std::string& program, std::vector<std::string> args);
    ~GatewayProcess();
    GatewayProcess(const GatewayProcess&) = delete;
    GatewayProcess& operator=(const GatewayProcess&) = delete;

    std::uint16_t port() const { return port_; }
    // The port-43 and TLS listeners' ports (started with "--whois-port free" or
    // "--tls-port free", say); 0 when the gateway opened no such listener.
    std::uint16_t whoisPort() const { return whoisPort_; }
    std::uint16_t tlsPort() const { return tlsPort_; }

    // Waits up to `timeoutMs` for the program to end by itself; its exit status, or none when
    // it is still running (or ended by a signal, given as 128 + signal number).
    std::optional<int> waitForExit(int timeoutMs);

private:
    pid_t pid_ = -1;
    std::uint16_t port_ = 0;
    std::uint16_t whoisPort_ = 0;
    std::uint16_t tlsPort_ = 0;
};

} // namespace zendrel::test
