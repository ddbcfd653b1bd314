#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <memory>
#include <string>
#include <vector>

namespace zendrel::test {

struct TinyProxyOptions {
    std::string user; // Basic proxy authorization is asked for when not empty
    std::string password;
    std::vector<int> connectPorts; // the ports CONNECT may reach; empty: any port
};

// tinyproxy on a free loopback port, allowing 127.0.0.1 only.
class TinyProxy {
public:
    // Asks for Basic proxy authorization with `user` and `password`; CONNECT reaches any port.
    TinyProxy(const std::string& user, const std::string& password);
    explicit TinyProxy(const TinyProxyOptions& options);
    ~TinyProxy();

    int port() const { return port_; }

private:
    TempDir dir_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

} // namespace zendrel::test
