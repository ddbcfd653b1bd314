#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace zendrel::test {

// A name server on 127.0.0.1 that answers every query with "no such name", so that a failed
// look-up can be shown without depending on the machine's own resolver. It answers at most 50
// queries and stops with the object.
class NxdomainServer {
public:
    NxdomainServer();
    ~NxdomainServer();
    NxdomainServer(const NxdomainServer&) = delete;
    NxdomainServer& operator=(const NxdomainServer&) = delete;

    // "127.0.0.1:port", as the resolver's server list takes it.
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    void serve();

    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace zendrel::test
