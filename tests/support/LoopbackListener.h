#pragma once

#include <atomic>
#include <thread>

namespace zendrel::test {

// A listening TCP socket on 127.0.0.1 at a port the system chooses, written to `port`; throws
// when none can be opened. The caller closes the descriptor.
int ListenOnLoopback(int backlog, int& port);

// The next connection on `listenFd` when one arrives within 20 ms, or -1, so that the caller's
// accept loop can look at its stop flag between waits.
int AcceptWithinATick(int listenFd);

// Ends a server thread that watches `stopping` between waits, then closes its listener.
void StopServing(std::atomic<bool>& stopping, std::thread& thread, int& listenFd);

} // namespace zendrel::test
