#include "tests/support/FdCount.h"

#include <filesystem>

namespace zendrel::test {

int OpenFdCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

} // namespace zendrel::test
