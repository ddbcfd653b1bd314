// The count of names the window shows before a search, for the largest search it must stay
// instant for: ten keywords joined up to ten at a time with a thousand additional words, in five
// zones. Timed as the window counts it: the search input read from the controls (the grid of a
// thousand words included), then counted.
#include "bench/ui/WindowBench.h"
#include "platform/MessageLoop.h"
#include "ui/NameCountPreview.h"
#include "ui/domain1.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace zendrel;

namespace {

// The median of several counts, in milliseconds.
double medianCountMs(NameCountPreview& preview) {
    std::vector<double> ms;
    for (int i = 0; i < 15; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        preview.countNow();
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The workspace: `collide` makes one additional word also a keyword, so that the names cannot be
// proved distinct and the window shows an upper bound.
void writeWorkspace(const bench::ScratchFolder& ws, bool collide) {
    std::string zones;
    for (const char* zone : {"com", "net", "org", "info", "de"})
        zones += std::string("z;http://127.0.0.1:1/w?n=%s;1;") + zone + "\r\n";
    ws.write("domain.txt", zones);
    ws.write("method.txt", "0;Registrar\r\n1;Registrar:;Registrar:|No match for|\r\n");
    std::string keywords;
    for (int i = 0; i < 10; ++i)
        keywords += std::to_string(100 + i) + "key\r\n";
    ws.write("default.txt", keywords);
    std::string words;
    for (int i = 0; i < 1000; ++i)
        words += std::to_string(1000 + i) + "w" + (i % 2 ? "" : "; -") + "\r\n";
    if (collide)
        words += "100key\r\n";
    ws.write("add.txt", words);
    ws.write("param.txt", "[Param]\r\nCombinations=10\r\nAdditiveName=1\r\nHyphens=1\r\n"
                          "CountHyphens=1\r\nDom=+++++\r\nMaxLength=63\r\n");
}

bool report(const char* name, bool collide, bool wantExact) {
    bench::ScratchFolder ws;
    writeWorkspace(ws, collide);
    MessageLoop loop;
    bench::QuietDialogs dialogs;
    T_FDomain window(loop, dialogs, ws.path());
    NameCountPreview& preview = *window.countPreview();
    const double ms = medianCountMs(preview);
    const NameCount& count = preview.count();
    std::fprintf(stderr, "  (%s)\n", DescribeNameCount(count).c_str());
    if (count.exact != wantExact || count.rows < 9864100) {
        std::fprintf(stderr, "unexpected count for %s\n", name);
        return false;
    }
    std::printf("%s: %.3f ms\n", name, ms);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool exact = report("ui.count_preview_largest_ms", false, true);
    const bool bound = report("ui.count_preview_largest_upper_bound_ms", true, false);
    return exact && bound ? 0 : 1;
}
