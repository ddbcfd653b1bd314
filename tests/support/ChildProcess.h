#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace zendrel::test {

// A helper program started by a test and stopped (SIGTERM, then SIGKILL) and reaped when the
// object goes, so no test leaves a server running.
class ChildProcess {
public:
    // Starts `argv[0]` (a full path); raises with a clear text when it is not installed.
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    void stop();

private:
    pid_t pid_ = -1;
};

// A port on 127.0.0.1 that was free a moment ago.
int FreeLoopbackPort();
// Waits until something accepts on 127.0.0.1:port; false after `timeoutMs`.
bool WaitUntilAccepting(int port, int timeoutMs);

} // namespace zendrel::test
