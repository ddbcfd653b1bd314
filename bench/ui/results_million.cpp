// The operations on a results list of a million rows, in the offscreen main window with the
// results view shown: emptying it, the "Domain" header toggle, "Save Results" with a verdict
// filter and with "All", and "Delete unavailable". Each time includes Qt catching up (model
// announcements, layout and a repaint), as the user would wait for it. The bare row store's
// figures for the same operations are the *_store_only_ms lines of generator.cpp.
#include "bench/ui/WindowBench.h"
#include "engine/ResultExport.h"
#include "engine/UnavailableRows.h"
#include "platform/MessageLoop.h"
#include "ui/ResultsModel.h"
#include "ui/domain1.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <string>

using namespace zendrel;

namespace {

constexpr std::size_t kRows = 1000000;

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Half the rows were found taken, the other half got no reply.
void fill(T_FDomain& window) {
    ResultStore& rows = window.results();
    for (std::size_t i = 0; i < kRows; ++i) {
        const std::size_t r = rows.append("name" + std::to_string(i) + ".com");
        if (i % 2 == 0) {
            rows.setSubItem(r, ResultStore::kState, "is not available");
            rows.setSubItem(r, ResultStore::kTime, "~");
            rows.setSubItem(r, ResultStore::kFirstExtra, "Example Registrar");
        } else {
            rows.setSubItem(r, ResultStore::kState, "no data");
            rows.setSubItem(r, ResultStore::kTime, "12");
        }
    }
    window.resultsModel()->flush();
    QApplication::processEvents();
}

template <typename F>
double timed(F&& operation) {
    const auto start = std::chrono::steady_clock::now();
    operation();
    QApplication::processEvents();
    return msSince(start);
}

double exportMs(const ResultStore& rows, const ExportFilter& filter, const std::string& path) {
    return timed([&] { SaveResults(rows, filter, path); });
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::ScratchFolder folder;
    bench::QuietDialogs dialogs;
    MessageLoop loop;
    T_FDomain window(loop, dialogs, folder.path());
    window.show();
    QApplication::processEvents();
    ResultStore& rows = window.results();

    fill(window);
    const double toggle = timed([&] { window.lvResultColumnClick(0); });
    ExportFilter taken;
    taken.notAvailable = true;
    const double exportTaken = exportMs(rows, taken, folder.path() + "taken.txt");
    ExportFilter all;
    all.all = true;
    const double exportAll = exportMs(rows, all, folder.path() + "all.txt");
    std::size_t deleted = 0;
    const double del = timed([&] { deleted = DeleteUnavailableRows(rows); });
    fill(window);
    const double clear = timed([&] { rows.clear(); });
    if (deleted != kRows / 2 || window.resultsModel()->rowCount() != 0) {
        std::fprintf(stderr, "deleted %zu rows, %d left shown\n", deleted,
                     window.resultsModel()->rowCount());
        return 1;
    }
    std::printf("results.clear_1m_ms: %.1f ms\n", clear);
    std::printf("results.toggle_1m_ms: %.1f ms\n", toggle);
    std::printf("results.export_1m_ms: %.1f ms\n", exportAll);
    std::printf("results.export_1m_filtered_ms: %.1f ms\n", exportTaken);
    std::printf("results.delete_unavailable_1m_ms: %.1f ms\n", del);
    return 0;
}
