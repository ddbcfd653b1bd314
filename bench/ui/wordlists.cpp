// Cost of the word lists with large files: reading and writing the files alone, and filling
// and reading back the keyword list and the additional-word grid.
#include "bench/ui/WindowBench.h"
#include "engine/WordListFiles.h"
#include "platform/Files.h"
#include "ui/AdditionalWordPane.h"
#include "ui/DialogService.h"
#include "ui/KeywordPane.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

using namespace zendrel;

namespace {

template <typename F>
double msFor(F&& body) {
    auto t0 = std::chrono::steady_clock::now();
    body();
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

std::string makeFile(int lines, bool additional) {
    std::string bytes;
    for (int i = 0; i < lines; ++i) {
        bytes += "keyword" + std::to_string(i);
        if (i % 3 == 0)
            bytes += additional ? "; -" : ";-";
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int n = 100000;
    std::string dir = std::filesystem::temp_directory_path().string() + "/zendrel-bench-words/";
    std::filesystem::create_directories(dir);
    WriteFileAtomically(dir + "k.txt", makeFile(n, false));
    WriteFileAtomically(dir + "a.txt", makeFile(n, true));

    std::vector<KeywordEntry> keywords;
    std::vector<AdditionalRow> rows;
    std::printf("wordlists.keyword_load_100k_ms: %.1f ms\n",
                msFor([&] { LoadKeywords(dir + "k.txt", keywords); }));
    std::printf("wordlists.keyword_save_100k_ms: %.1f ms\n",
                msFor([&] { SaveKeywords(dir + "k2.txt", keywords); }));
    std::printf("wordlists.additional_load_100k_ms: %.1f ms\n",
                msFor([&] { LoadAdditionalWords(dir + "a.txt", rows); }));

    bench::QuietDialogs dialogs;
    KeywordPane keywordPane(dialogs);
    keywordPane.setPath(dir + "k.txt");
    std::printf("wordlists.keyword_pane_load_100k_ms: %.1f ms\n",
                msFor([&] { keywordPane.LoadKeywords(); }));
    std::printf("wordlists.keyword_pane_entries_100k_ms: %.1f ms\n",
                msFor([&] { keywords = keywordPane.entries(); }));
    AdditionalWordPane additionalPane(dialogs);
    additionalPane.setPath(dir + "a.txt");
    std::printf("wordlists.additional_pane_load_100k_ms: %.1f ms\n",
                msFor([&] { additionalPane.LoadAdditionalWords(); }));
    std::printf("wordlists.additional_pane_rows_100k_ms: %.1f ms\n",
                msFor([&] { rows = additionalPane.rows(); }));
    std::filesystem::remove_all(dir);
    return keywords.size() == n && rows.size() == n ? 0 : 1;
}
