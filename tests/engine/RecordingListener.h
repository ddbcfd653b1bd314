#pragma once

#include "engine/LookupOutcome.h"
#include "engine/SearchListener.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace zendrel::test {

// Records every event of a search, in order of arrival.
struct RecordingListener : SearchListener {
    int noZone = 0;
    std::vector<int> passes;
    std::vector<std::pair<std::size_t, LookupOutcome>> lookups;
    std::vector<RunEnd> finished;
    std::vector<SearchEnd> ended;

    void noZoneChecked() override { ++noZone; }
    void passFinished(int pass) override { passes.push_back(pass); }
    void lookupEnded(std::size_t row, const LookupOutcome& outcome) override {
        lookups.emplace_back(row, outcome);
    }
    void runFinished(RunEnd end) override { finished.push_back(end); }
    void searchEnded(SearchEnd end) override { ended.push_back(end); }
};

} // namespace zendrel::test
