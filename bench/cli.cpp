// What zendrel-search adds to a search of a million rows: counting the rows by state for the
// progress line (done about once a second) and turning the rows into each output format, next
// to the "Save Results" text as it always was.
#include "engine/ResultFormats.h"
#include "engine/ResultStore.h"
#include "engine/RowStateCounts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace zendrel;

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double medianMs(int runs, F&& body) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        body();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// A million rows of a search half done: the first half has its verdicts and columns.
void fill(ResultStore& rows) {
    rows.setExtraColumnCount(4);
    const char* states[] = {"is available", "is not available", "hold", "no data"};
    for (int i = 0; i < 1'000'000; ++i) {
        const std::size_t row = rows.append("name" + std::to_string(i) + ".com");
        if (i >= 500'000)
            continue;
        rows.setSubItem(row, ResultStore::kState, states[i % 4]);
        rows.setSubItem(row, ResultStore::kTime, "~");
        rows.setSubItem(row, ResultStore::kFirstExtra, "Harbour Names, Ltd");
        rows.setSubItem(row, ResultStore::kFirstExtra + 1, "2014-07-21");
        rows.setSubItem(row, ResultStore::kFirstExtra + 2, "ns1.harbour-names.test");
        rows.setSubItem(row, ResultStore::kFirstExtra + 3, "ns2.harbour-names.test");
    }
}

} // namespace

int main() {
    ResultStore rows;
    fill(rows);
    std::size_t sink = 0;
    std::printf("cli.progress_count_1m_rows_ms: %.2f ms\n",
                medianMs(15, [&] { sink += CountRowStates(rows).done(); }));
    // Rows already written are counted once: a progress line counts only the rows after them.
    std::printf("cli.progress_count_1m_rows_half_written_ms: %.2f ms\n",
                medianMs(15, [&] { sink += CountRowStates(rows, rows.size() / 2).done(); }));
    const std::vector<std::string> captions = {"registrar", "created", "server 1", "server 2"};
    // Formats are timed over the rows that have a reply.
    for (const auto& [name, format] :
         {std::pair{"text", ResultFormat::Text}, std::pair{"csv", ResultFormat::Csv},
          std::pair{"tsv", ResultFormat::Tsv}, std::pair{"json", ResultFormat::Json}}) {
        const ResultFormatter formatter(format, captions, false);
        const double ms = medianMs(5, [&] {
            std::string out;
            for (std::size_t row = 0; row < rows.size() / 2; ++row) {
                formatter.appendRow(rows, row, out);
                if (out.size() > (1 << 16)) {
                    sink += out.size();
                    out.clear();
                }
            }
        });
        std::printf("cli.format_%s_500k_rows_ms: %.1f ms\n", name, ms);
    }
    std::fprintf(stderr, "  (%zu)\n", sink);
    return 0;
}
