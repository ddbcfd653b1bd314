// Candidate generation through the loop's idle steps, and the row store at a million rows.
#include "engine/CandidateGenerator.h"
#include "engine/ResultExport.h"
#include "engine/ResultStore.h"
#include "engine/SearchListener.h"
#include "engine/SearchWindow.h"
#include "platform/MessageLoop.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <stdlib.h>
#include <string>
#include <vector>

using namespace zendrel;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

std::vector<std::string> keywords(int n) {
    static const char* const stems[] = {"alpha", "bravo", "cargo", "delta", "eagle"};
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out.push_back(std::string(stems[i % 5]) + static_cast<char>('a' + i / 5));
    return out;
}

struct Engine {
    MessageLoop loop;
    RunVariables run;
    ResultStore store;
    NoSearchWindow window;
    SearchListener events;
    CandidateGenerator gen{loop, run, store, window, events};

    void finish() {
        loop.runUntil([&] { return !gen.active(); }, 600000);
    }
};

void tuples() {
    Engine e;
    SearchInput in;
    in.keywords = keywords(20);
    in.zones = {"com"};
    in.combinations = 5;
    in.maxLength = 63; // every joined name fits, so all of them are collected
    auto t0 = Clock::now();
    e.gen.start(in);
    e.loop.runUntil([&] { return e.gen.phase() != CandidateGenerator::Phase::Combine; }, 600000);
    const double s = secondsSince(t0);
    std::printf("gen.tuples_per_s: %.0f tuples/s\n", 3200000.0 / s);
    // Moving the joined names (one per keyword sequence, about 2 million) into the ordered
    // list, in batches between loop passes.
    t0 = Clock::now();
    e.loop.runUntil([&] { return e.gen.phase() != CandidateGenerator::Phase::CollectCombined; },
                    600000);
    std::printf("gen.collect_ms: %.1f ms\n", secondsSince(t0) * 1000.0);
    e.run.stopRequested = true;
    e.finish();
}

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

// 100,000 keywords in 10 zones: a million rows through the idle steps into the store. The time
// starts once the lists are built; the heap is measured across the whole search.
void rows(ResultStore& keep) {
    Engine e;
    SearchInput in;
    for (int i = 0; i < 100000; ++i)
        in.keywords.push_back("candidate" + std::to_string(i));
    in.zones = {"com", "net", "org", "info", "biz", "co.uk", "de", "eu", "us", "nl"};
    const std::size_t heap0 = heapInUse();
    e.gen.start(in);
    const auto t0 = Clock::now();
    e.finish();
    const double s = secondsSince(t0);
    std::printf("gen.rows_per_s: %.0f rows/s\n", static_cast<double>(e.store.size()) / s);

    // The generator's lists are gone now; what remains on the heap is the row store.
    const double perRow =
        static_cast<double>(heapInUse() - heap0) / static_cast<double>(e.store.size());
    std::printf("results.bytes_per_row: %.1f bytes\n", perRow);
    for (std::size_t i = 0; i < e.store.size(); ++i)
        keep.append(e.store.caption(i));
}

template <typename F>
void timeMs(const char* name, F&& body) {
    const auto t0 = Clock::now();
    body();
    std::printf("%s: %.1f ms\n", name, secondsSince(t0) * 1000.0);
}

// Half the rows answered "is not available", the rest available, on hold or without data.
void finishedRows(ResultStore& store) {
    static const char* const states[] = {"is available", "hold", "no data"};
    store.setExtraColumnCount(3);
    for (std::size_t i = 0; i < store.size(); ++i) {
        store.setSubItem(i, ResultStore::kTime, "~");
        if (i % 2 == 0) {
            store.setSubItem(i, ResultStore::kState, "is not available");
            store.setSubItem(i, ResultStore::kFirstExtra, "registrar");
        } else {
            store.setSubItem(i, ResultStore::kState, states[(i / 2) % 3]);
            store.setChecked(i, i % 3 != 0);
        }
    }
}

void storeOperations(ResultStore& store) {
    finishedRows(store);
    char folder[] = "/tmp/zendrel-bench-XXXXXX";
    if (!mkdtemp(folder))
        return;
    ExportFilter all;
    all.all = true;
    timeMs("results.export_1m_store_only_ms",
           [&] { SaveResults(store, all, std::string(folder) + "/r"); });
    std::filesystem::remove_all(folder);
    timeMs("results.delete_unavailable_1m_store_only_ms", [&] {
        store.removeIf([&](std::size_t i) {
            return !store.checked(i) && store.subItem(i, ResultStore::kTime) == "~" &&
                   store.subItem(i, ResultStore::kState) != "no data";
        });
    });
    timeMs("results.clear_1m_store_only_ms", [&] { store.clear(); });
}

} // namespace

int main() {
    tuples();
    ResultStore store;
    rows(store);
    storeOperations(store);
    return 0;
}
