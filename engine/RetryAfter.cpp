#include "engine/RetryAfter.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace zendrel {

namespace {

// Far beyond any cap a caller applies, and safe to multiply by 1000.
constexpr long long kLongestSeconds = 100LL * 365 * 24 * 3600;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::optional<Millis> seconds(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        value = kLongestSeconds; // digits only, just very many: a very long wait
    else if (ec != std::errc())
        return std::nullopt;
    return std::min(value, kLongestSeconds) * 1000;
}

std::optional<int> number(std::string_view text, int low, int high) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<int> month(std::string_view name) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < 12; ++i)
        if (name == kMonths[i])
            return i;
    return std::nullopt;
}

// "HH:MM:SS" into `tm`.
bool clock(std::string_view text, std::tm& tm) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return false;
    auto h = number(text.substr(0, 2), 0, 23), m = number(text.substr(3, 2), 0, 59),
         s = number(text.substr(6, 2), 0, 60);
    if (!h || !m || !s)
        return false;
    tm.tm_hour = *h;
    tm.tm_min = *m;
    tm.tm_sec = *s;
    return true;
}

std::vector<std::string_view> words(std::string_view text, std::string& storage) {
    storage.assign(text);
    for (char& c : storage)
        if (c == ',' || c == '-')
            c = ' ';
    std::vector<std::string_view> out;
    std::string_view rest = storage;
    while (!rest.empty()) {
        std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        rest.remove_prefix(start);
        std::size_t end = std::min(rest.find(' '), rest.size());
        out.push_back(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    return out;
}

// Reads the three date formats HTTP knows, by hand rather than with strptime(), whose day and
// month names follow the user's locale while HTTP's are always English. The weekday is not
// checked: it adds nothing to the date.
std::optional<std::time_t> httpDate(std::string_view text) {
    std::string storage;
    auto w = words(text, storage);
    std::tm tm{};
    std::optional<int> day, mon, year;
    std::string_view time;
    if (w.size() == 6 && w[5] == "GMT") { // "Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 …"
        day = number(w[1], 1, 31);
        mon = month(w[2]);
        year = number(w[3], 0, 9999);
        if (year && w[3].size() == 2)
            year = *year + (*year < 70 ? 2000 : 1900);
        time = w[4];
    } else if (w.size() == 5) { // "Sun Nov  6 08:49:37 1994"
        mon = month(w[1]);
        day = number(w[2], 1, 31);
        time = w[3];
        year = number(w[4], 1000, 9999);
    }
    if (!day || !mon || !year || *year < 1970 || !clock(time, tm))
        return std::nullopt;
    tm.tm_mday = *day;
    tm.tm_mon = *mon;
    tm.tm_year = *year - 1900;
    return ::timegm(&tm);
}

} // namespace

std::optional<Millis> ParseRetryAfter(std::string_view value, std::time_t wallNow) {
    value = trimmed(value);
    if (auto s = seconds(value))
        return s;
    auto when = httpDate(value);
    if (!when)
        return std::nullopt;
    long long ahead = std::clamp<long long>(*when - wallNow, 0, kLongestSeconds);
    return ahead * 1000;
}

} // namespace zendrel
