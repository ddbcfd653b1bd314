#include "engine/ProgressMeter.h"

#include "engine/SearchWindow.h"

#include <algorithm>
#include <limits>

namespace zendrel {

namespace {
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
}

std::uint64_t ProgressMeter::saturatingMul(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > kMax / a)
        return kMax;
    return a * b;
}

std::uint64_t ProgressMeter::saturatingAdd(std::uint64_t a, std::uint64_t b) {
    return b > kMax - a ? kMax : a + b;
}

std::uint64_t ProgressMeter::saturatingPow(std::uint64_t base, unsigned exponent) {
    std::uint64_t result = 1;
    for (unsigned i = 0; i < exponent; ++i)
        result = saturatingMul(result, base);
    return result;
}

void ProgressMeter::start(std::uint64_t total) {
    total_ = total;
    done_ = 0;
    units_ = static_cast<int>(std::min(std::max<std::uint64_t>(total, 1), kBarUnits));
    shown_ = 0;
    window_.setProgressVisible(true);
    window_.setProgressMaximum(units_);
    window_.setProgressPosition(0);
    update();
}

void ProgressMeter::finish() {
    window_.setProgressPosition(0);
    window_.setProgressVisible(false);
    total_ = done_ = nextUpdate_ = 0;
    shown_ = 0;
}

int ProgressMeter::unitsFor(std::uint64_t steps) const {
    if (total_ == 0)
        return 0;
    if (steps >= total_)
        return units_;
    // steps < total_ here, so the quotient is below units_ and the product fits in 128 bits.
    const unsigned __int128 scaled = static_cast<unsigned __int128>(steps) * units_ / total_;
    return static_cast<int>(scaled);
}

void ProgressMeter::update() {
    const int now = unitsFor(done_);
    if (now != shown_) {
        shown_ = now;
        window_.setProgressPosition(now);
    }
    if (total_ == 0 || now >= units_) {
        nextUpdate_ = kMax; // the bar is full; steps beyond the estimate change nothing
        return;
    }
    // The smallest step count that reaches the next unit: ceil(total * (now + 1) / units).
    const unsigned __int128 need =
        (static_cast<unsigned __int128>(total_) * static_cast<unsigned>(now + 1) + units_ - 1) /
        static_cast<unsigned>(units_);
    nextUpdate_ = static_cast<std::uint64_t>(need);
}

} // namespace zendrel
