#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <memory>
#include <string>

namespace zendrel::test {

// tinyproxy on a free loopback port, allowing 127.0.0.1 only and asking for Basic proxy
// authorization with `user` and `password`.
class TinyProxy {
public:
    TinyProxy(const std::string& user, const std::string& password);
    ~TinyProxy();

    int port() const { return port_; }

private:
    TempDir dir_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

} // namespace zendrel::test
