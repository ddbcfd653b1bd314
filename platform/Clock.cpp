#include "platform/Clock.h"

#include <chrono>

namespace zendrel {

Millis RealClock::now() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace zendrel
