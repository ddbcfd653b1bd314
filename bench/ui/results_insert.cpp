// Appends a million result rows through the Qt model with a view attached (offscreen), letting
// the model's batching announce them as it would during a search, and prints how long it took
// next to the same appends into the bare row store, so the two can be compared as a ratio.
#include "engine/ResultStore.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"

#include <QApplication>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr std::size_t kRows = 1000000;
// Rows between two passes of Qt's event loop: the generator yields after every row, and a pass
// of about 5 ms covers a few thousand appends.
constexpr std::size_t kRowsPerPass = 2000;

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::string candidate(std::size_t i) {
    return "name" + std::to_string(i) + ".com";
}

double storeOnly() {
    zendrel::ResultStore store;
    store.setExtraColumnCount(4);
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < kRows; ++i)
        store.append(candidate(i));
    return msSince(start);
}

double throughView(std::size_t& shownRows) {
    zendrel::ResultStore store;
    zendrel::ResultsModel model(store);
    model.setExtraColumns({"registrar", "created", "server 1", "server 2"});
    zendrel::ResultsView view;
    view.setResultsModel(&model);
    view.resize(800, 600);
    view.show();
    QApplication::processEvents();
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < kRows; ++i) {
        store.append(candidate(i));
        if (i % kRowsPerPass == 0)
            QApplication::processEvents();
    }
    model.flush();
    QApplication::processEvents();
    const double ms = msSince(start);
    shownRows = static_cast<std::size_t>(model.rowCount());
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double bare = storeOnly();
    std::size_t shown = 0;
    const double viewed = throughView(shown);
    if (shown != kRows) {
        std::fprintf(stderr, "view shows %zu rows, expected %zu\n", shown, kRows);
        return 1;
    }
    std::printf("results.insert_1m_ms: %.1f ms\n", viewed);
    std::printf("results.insert_1m_store_only_ms: %.1f ms\n", bare);
    std::printf("results.insert_1m_view_overhead: %.2f ratio\n", viewed / bare);
    return 0;
}
