#include "tools/world/RateWindow.h"

#include <algorithm>
#include <charconv>

namespace zendrel::world {

namespace {

constexpr std::int64_t kMaxPeriodMs = 30LL * 24 * 3600 * 1000;

std::optional<std::int64_t> unitMs(std::string_view unit) {
    if (unit == "s")
        return 1000;
    if (unit == "min")
        return 60 * 1000;
    if (unit == "h")
        return 3600 * 1000;
    if (unit == "d")
        return 24 * 3600 * 1000;
    return std::nullopt;
}

// Reads leading decimal digits; `text` keeps what follows them.
std::optional<long long> leadingNumber(std::string_view& text) {
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data())
        return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

} // namespace

std::optional<Rate> ParseRate(std::string_view text) {
    std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    std::string_view countText = text.substr(0, slash);
    std::string_view periodText = text.substr(slash + 1);
    auto count = leadingNumber(countText);
    if (!count || !countText.empty() || *count < 1 || *count > 1000000)
        return std::nullopt;
    long long multiple = 1;
    if (!periodText.empty() && periodText[0] >= '0' && periodText[0] <= '9') {
        auto m = leadingNumber(periodText);
        if (!m || *m < 1 || *m > 100000)
            return std::nullopt;
        multiple = *m;
    }
    auto unit = unitMs(periodText);
    if (!unit || *unit * multiple > kMaxPeriodMs)
        return std::nullopt;
    return Rate{static_cast<int>(*count), *unit * multiple};
}

RateWindow::RateWindow(Rate rate, std::int64_t graceMs)
    : rate_(rate), windowMs_(std::max<std::int64_t>(1, rate.periodMs - graceMs)) {}

void RateWindow::forgetBefore(std::int64_t now) {
    while (!times_.empty() && times_.front() <= now - windowMs_)
        times_.pop_front();
}

bool RateWindow::full(std::int64_t now) {
    forgetBefore(now);
    return times_.size() >= static_cast<std::size_t>(rate_.count);
}

void RateWindow::record(std::int64_t now) {
    forgetBefore(now);
    times_.push_back(now);
}

} // namespace zendrel::world
