#pragma once

namespace zendrel::test {

// A listening TCP socket on 127.0.0.1 at a port the system chooses, written to `port`; throws
// when none can be opened. The caller closes the descriptor.
int ListenOnLoopback(int backlog, int& port);

} // namespace zendrel::test
