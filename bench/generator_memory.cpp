// Peak memory of candidate generation when most joined names are too long for a row: 40
// six-letter keywords joined up to five at a time under a length limit of 20 make 100 million
// tuples but only the names of one to three keywords. A program of its own, so that the peak is
// this search's and not that of an earlier figure.
#include "engine/CandidateGenerator.h"
#include "engine/ResultStore.h"
#include "engine/SearchListener.h"
#include "engine/SearchWindow.h"
#include "platform/MessageLoop.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

using namespace zendrel;

namespace {

// The process's peak resident set so far, from the kernel's own high-water mark.
double peakRssMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

} // namespace

int main() {
    MessageLoop loop;
    RunVariables run;
    ResultStore store;
    NoSearchWindow window;
    SearchListener events;
    CandidateGenerator gen{loop, run, store, window, events};
    SearchInput in;
    for (int i = 0; i < 40; ++i) {
        std::string word = "kw";
        word += static_cast<char>('a' + i / 26 % 26);
        word += static_cast<char>('a' + i % 26);
        word += "zz";
        in.keywords.push_back(word);
    }
    in.zones = {"com"};
    in.combinations = 5;
    in.maxLength = 20;
    const auto t0 = std::chrono::steady_clock::now();
    gen.start(in);
    loop.runUntil([&] { return !gen.active(); }, 3600 * 1000);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("gen.peak_rss_mb_40x5: %.1f MB\n", peakRssMb());
    std::printf("gen.rows_40x5: %zu rows\n", store.size());
    std::printf("gen.seconds_40x5: %.1f s\n", s);
    return 0;
}
