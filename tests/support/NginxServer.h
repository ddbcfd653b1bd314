#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tools/certs/Certificates.h"

#include <memory>
#include <string>

namespace zendrel::test {

// nginx serving a folder of static pages on a free loopback port, with its configuration, pid,
// logs and temporary files in its own folder. "/redirect" answers 302 with Location "/page.html";
// `extraLocations` adds further location blocks to the server.
class NginxServer {
public:
    explicit NginxServer(const std::string& extraLocations = "");
    // The same server speaking TLS only, with `identity` as its certificate and key.
    explicit NginxServer(const PemPair& identity, const std::string& extraLocations = "");
    ~NginxServer();

    int port() const { return port_; }
    std::string url(const std::string& path) const;
    // Puts a page into the served folder.
    void addPage(const std::string& name, const std::string& bytes) const;

private:
    void start(const std::string& listenOptions, const std::string& extraLocations);

    TempDir dir_;
    bool tls_ = false;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

} // namespace zendrel::test
