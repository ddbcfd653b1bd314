#include "tests/support/NginxServer.h"

#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace zendrel::test {

namespace {

constexpr int kStartLimitMs = 10000;

std::string NginxConfig(const std::string& dir, int port, const std::string& listenOptions,
                        const std::string& extra) {
    std::string c;
    if (geteuid() == 0)
        c += "user root;\n";
    c += "worker_processes 1;\ndaemon off;\nerror_log " + dir + "error.log;\npid " + dir +
         "nginx.pid;\nevents { worker_connections 1024; }\nhttp {\n  access_log off;\n";
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        c += std::string("  ") + kind + "_temp_path " + dir + "tmp_" + kind + ";\n";
    c += "  server {\n    listen 127.0.0.1:" + std::to_string(port) + listenOptions +
         ";\n    root " + dir + "www;\n    location = /redirect { return 302 /page.html; }\n" +
         extra + "  }\n}\n";
    return c;
}

} // namespace

NginxServer::NginxServer(const std::string& extraLocations) {
    start("", extraLocations);
}

NginxServer::NginxServer(const PemPair& identity, const std::string& extraLocations) : tls_(true) {
    dir_.write("server.pem", identity.certificate);
    dir_.write("server.key", identity.key);
    start(" ssl", "    ssl_certificate " + dir_.file("server.pem") + ";\n    ssl_certificate_key " +
                      dir_.file("server.key") + ";\n" + extraLocations);
}

void NginxServer::start(const std::string& listenOptions, const std::string& extraLocations) {
    port_ = FreeLoopbackPort();
    mkdir(dir_.file("www").c_str(), 0755);
    dir_.write("nginx.conf", NginxConfig(dir_.path(), port_, listenOptions, extraLocations));
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/sbin/nginx", "-p", dir_.path(), "-c",
                                 dir_.file("nginx.conf"), "-e", dir_.file("error.log")});
    if (!WaitUntilAccepting(port_, kStartLimitMs))
        throw std::runtime_error("nginx did not start: " + dir_.read("error.log"));
}

NginxServer::~NginxServer() {
    process_.reset();
}

std::string NginxServer::url(const std::string& path) const {
    return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_) + path;
}

void NginxServer::addPage(const std::string& name, const std::string& bytes) const {
    dir_.write("www/" + name, bytes);
}

} // namespace zendrel::test
