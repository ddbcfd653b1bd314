#pragma once

namespace zendrel::test {

// The number of descriptors this process has open, to show that nothing was leaked.
int OpenFdCount();

} // namespace zendrel::test
