#pragma once

#include <cstdint>

namespace zendrel {

class SearchWindow;

// Drives the progress bar for a count of steps that may exceed any bar's range (20 keywords
// joined up to ten at a time is 20^10 steps). The total saturates instead of wrapping, and the
// bar gets at most kBarUnits units, so it keeps moving and the window is told only when the bar
// would actually change.
class ProgressMeter {
public:
    static constexpr std::uint64_t kBarUnits = 10000;

    explicit ProgressMeter(SearchWindow& window) : window_(window) {}

    // Shows the bar at 0 for `total` steps.
    void start(std::uint64_t total);
    // Counts one step.
    void step() {
        ++done_;
        if (done_ >= nextUpdate_)
            update();
    }
    // Counts `steps` steps at once.
    void advance(std::uint64_t steps) {
        done_ = saturatingAdd(done_, steps);
        if (done_ >= nextUpdate_)
            update();
    }
    // Puts the bar back to 0 and hides it.
    void finish();

    std::uint64_t total() const { return total_; }
    std::uint64_t done() const { return done_; }

    // Multiplication and addition that stop at the largest value instead of wrapping.
    static std::uint64_t saturatingMul(std::uint64_t a, std::uint64_t b);
    static std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b);
    static std::uint64_t saturatingPow(std::uint64_t base, unsigned exponent);

private:
    void update();
    int unitsFor(std::uint64_t steps) const;

    SearchWindow& window_;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    std::uint64_t nextUpdate_ = 0; // first step count at which the bar moves again
    int units_ = 0;
    int shown_ = 0;
};

} // namespace zendrel
