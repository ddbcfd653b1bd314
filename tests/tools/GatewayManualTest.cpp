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
    for (std::size_t at = 0; (at = manual.find("\\-", at)) != std::string::npos;)
        manual.replace(at, 2, "-");
    const std::set<std::string> inHelp = Matches(HelpText(), std::regex(R"(\n  (--[a-z-]+))"));
    EXPECT_EQ(inHelp.size(), 16u);
    EXPECT_EQ(inHelp, Matches(manual, std::regex(R"(\n\.TP\n\.BI? (--[a-z-]+))")));
    // Every reply mode the help names is described on the manual page too.
    for (const char* mode : {"normal", "close", "reset", "trickle", "silent", "endless", "nul"})
        EXPECT_NE(manual.find(std::string(".B ") + mode + "\n"), std::string::npos) << mode;
}

} // namespace
} // namespace zendrel::test
