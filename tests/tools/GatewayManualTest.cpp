#include "platform/Files.h"
#include "tests/tools/GatewayTestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <string>

namespace zendrel::test {
namespace {

std::string HelpText() {
    std::string text;
    FILE* out = ::popen((GatewayProgram() + " --help").c_str(), "r");
    if (!out)
        return text;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, out))
        text.append(buf, n);
    ::pclose(out);
    return text;
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.insert((*it)[1]);
    return found;
}

TEST(GatewayManual, ListsWhatTheHelpLists) {
    std::string manual;
    ASSERT_TRUE(ReadFileBytes(std::string(ZENDREL_SOURCE_DIR) + "/packaging/man/zendrel-gateway.1",
                              manual));
    // Copied, not replaced in place: GCC 12 misreads an in-place replace as overlapping copies
    // in optimised builds.
    std::string plain;
    for (std::size_t i = 0; i < manual.size(); ++i) {
        if (manual[i] == '\\' && i + 1 < manual.size() && manual[i + 1] == '-')
            continue;
        plain += manual[i];
    }
    manual = std::move(plain);
    const std::set<std::string> inHelp = Matches(HelpText(), std::regex(R"(\n  (--[a-z-]+))"));
    EXPECT_EQ(inHelp.size(), 16u);
    EXPECT_EQ(inHelp, Matches(manual, std::regex(R"(\n\.TP\n\.BI? (--[a-z-]+))")));
    // Every reply mode the help names is described on the manual page too.
    for (const char* mode : {"normal", "close", "reset", "trickle", "silent", "endless", "nul"})
        EXPECT_NE(manual.find(std::string(".B ") + mode + "\n"), std::string::npos) << mode;
}

} // namespace
} // namespace zendrel::test
