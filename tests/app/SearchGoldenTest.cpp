// The outputs of zendrel-search for the fixed workspace of tests/data/cli against the local
// gateway, compared byte for byte with the files in tests/data/cli/golden. After a deliberate
// change of an output, ZENDREL_UPDATE_GOLDEN=1 writes the files anew (review their diff).
#include "tests/app/SearchProcess.h"
#include "tests/support/GatewayProcess.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <ostream>

namespace zendrel::test {
namespace {

const char* kGateway = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";

void ExpectGolden(const std::string& name, const std::string& actual) {
    if (std::getenv("ZENDREL_UPDATE_GOLDEN")) {
        std::ofstream(ZENDREL_TEST_DATA "/cli/golden/" + name, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(actual, ReadCliData("golden/" + name)) << name;
}

class SearchGolden : public ::testing::Test {
protected:
    SearchGolden() { WriteFixedWorkspace(ws_, gateway_.port()); }

    SearchOutcome run(std::vector<std::string> options) {
        options.push_back(ws_.path());
        SearchCall call;
        call.args = std::move(options);
        return RunSearchProgram(call, ws_);
    }

    GatewayProcess gateway_{kGateway, {"--idle-exit-ms", "30000"}};
    TempDir ws_;
};

TEST_F(SearchGolden, WithoutOptionsPrintsWhatSaveResultsWrites) {
    const std::string param = ws_.read("param.txt");
    const SearchOutcome o = run({});
    EXPECT_EQ(o.status, 0) << o.err;
    ExpectGolden("text.txt", o.out);
    EXPECT_EQ(ws_.read("param.txt"), param);
}

struct GoldenCase {
    const char* name;
    std::vector<std::string> options;
};

// Test lists show a case by its name, not as a dump of its bytes.
void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << c.name;
}

class SearchGoldenFormats : public SearchGolden,
                            public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(SearchGoldenFormats, WriteTheFixedWorkspaceAsBefore) {
    const SearchOutcome o = run(GetParam().options);
    EXPECT_EQ(o.status, 0) << o.err;
    ExpectGolden(std::string(GetParam().name) + ".txt", o.out);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SearchGoldenFormats,
    ::testing::Values(GoldenCase{"csv", {"--format", "csv"}}, GoldenCase{"tsv", {"--format=tsv"}},
                      GoldenCase{"json", {"--format", "json"}},
                      GoldenCase{"text-available-hold", {"--only", "available,hold"}},
                      GoldenCase{"csv-unanswered",
                                 {"--format", "csv", "--only", "not-available,no-data", "--zones",
                                  "com,dead,test"}},
                      GoldenCase{
                          "json-words",
                          {"--format", "json", "--words", "green,zzfree", "--zones", "org"}}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

} // namespace
} // namespace zendrel::test
