// The count of names shown before a search, which is recomputed as the user edits the lists.
#include "engine/NameCount.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace zendrel;

namespace {

using Clock = std::chrono::steady_clock;

// The median of several runs, in milliseconds: one run is too short to time on a busy machine.
template <typename F>
double medianMs(F&& body) {
    std::vector<double> ms;
    for (int i = 0; i < 15; ++i) {
        const auto t0 = Clock::now();
        body();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

SearchInput search(int keywords, int combinations, int words) {
    SearchInput in;
    for (int i = 0; i < keywords; ++i)
        in.keywords.push_back(std::to_string(100 + i) + "key");
    in.combinations = combinations;
    in.useAdditional = true;
    in.useHyphens = true;
    in.hyphens = 1;
    for (int i = 0; i < words; ++i)
        in.additionalRows.push_back({"x", i % 2 ? "x" : "", std::to_string(1000 + i) + "w"});
    in.zones = {"com", "net", "org", "info", "de"};
    return in;
}

void report(const char* name, const SearchInput& in) {
    NameCount count;
    const double ms = medianMs([&] { count = CountCandidateRows(in); });
    std::printf("%s: %.3f ms\n", name, ms);
    std::fprintf(stderr, "  (%s)\n", DescribeNameCount(count).c_str());
}

// The same search where one additional word is also a keyword, so that two ways of joining can
// give one name and the count must list the names (or give an upper bound).
SearchInput colliding(SearchInput in) {
    in.additionalRows.push_back({"x", "x", in.keywords.front()});
    return in;
}

} // namespace

int main() {
    // Ten keywords joined up to ten at a time (9,864,100 joins, of which those shorter than the
    // default length limit of 30 take part) with a thousand affix words, in five zones:
    // 48,079,300 names.
    report("namecount.largest_ms", search(10, 10, 1000));
    // Just under the number of names that are listed rather than counted by length.
    report("namecount.listed_48k_names_ms", colliding(search(200, 1, 159)));
    report("namecount.largest_upper_bound_ms", colliding(search(10, 10, 1000)));
    return 0;
}
