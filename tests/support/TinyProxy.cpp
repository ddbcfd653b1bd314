#include "tests/support/TinyProxy.h"

#include <stdexcept>
#include <unistd.h>

namespace zendrel::test {

namespace {

constexpr int kStartLimitMs = 10000;

} // namespace

TinyProxy::TinyProxy(const std::string& user, const std::string& password)
    : TinyProxy(TinyProxyOptions{user, password, {}}) {}

TinyProxy::TinyProxy(const TinyProxyOptions& options) {
    port_ = FreeLoopbackPort();
    std::string c = "Port " + std::to_string(port_) +
                    "\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\nMaxClients 200\n"
                    "LogLevel Error\nLogFile \"" +
                    dir_.file("tinyproxy.log") + "\"\nPidFile \"" + dir_.file("tinyproxy.pid") +
                    "\"\nDisableViaHeader Yes\n";
    if (!options.user.empty())
        c += "BasicAuth " + options.user + " " + options.password + "\n";
    // Without a ConnectPort line tinyproxy lets CONNECT reach every port.
    for (int p : options.connectPorts)
        c += "ConnectPort " + std::to_string(p) + "\n";
    if (geteuid() == 0)
        c += "User root\nGroup root\n";
    dir_.write("tinyproxy.conf", c);
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/tinyproxy", "-d", "-c", dir_.file("tinyproxy.conf")});
    if (!WaitUntilAccepting(port_, kStartLimitMs))
        throw std::runtime_error("tinyproxy did not start: " + dir_.read("tinyproxy.log"));
}

TinyProxy::~TinyProxy() {
    process_.reset();
}

} // namespace zendrel::test
