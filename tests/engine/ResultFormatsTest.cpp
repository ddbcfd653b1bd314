#include "engine/ResultFormats.h"

#include "engine/ResultStore.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <ostream>

namespace zendrel {
namespace {

struct QuotingCase {
    const char* name;
    std::string text;
    std::string csv;
    std::string tsv;
    std::string json;
};

// Test lists show a case by its name, not as a dump of its bytes.
void PrintTo(const QuotingCase& c, std::ostream* out) {
    *out << c.name;
}

class FieldQuoting : public ::testing::TestWithParam<QuotingCase> {};

TEST_P(FieldQuoting, EachFormatKeepsTheTextReadable) {
    const QuotingCase& c = GetParam();
    std::string csv, tsv, json;
    AppendCsvField(c.text, csv);
    AppendTsvField(c.text, tsv);
    AppendJsonString(c.text, json);
    EXPECT_EQ(csv, c.csv);
    EXPECT_EQ(tsv, c.tsv);
    EXPECT_EQ(json, c.json);
    // Whatever the bytes, the JSON string is valid UTF-8 JSON that reads back as a string.
    const auto parsed = nlohmann::json::parse(json, nullptr, false);
    ASSERT_FALSE(parsed.is_discarded()) << json;
    EXPECT_TRUE(parsed.is_string());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldQuoting,
    ::testing::Values(QuotingCase{"Plain", "shop.com", "shop.com", "shop.com", "\"shop.com\""},
                      QuotingCase{"Empty", "", "", "", "\"\""},
                      QuotingCase{"Comma", "a, b", "\"a, b\"", "a, b", "\"a, b\""},
                      QuotingCase{"Quote", "say \"hi\"", "\"say \"\"hi\"\"\"", "say \"hi\"",
                                  "\"say \\\"hi\\\"\""},
                      QuotingCase{"Tab", "a\tb", "a\tb", "a\\tb", "\"a\\tb\""},
                      QuotingCase{"LineEnds", "a\r\nb", "\"a\r\nb\"", "a\\r\\nb", "\"a\\r\\nb\""},
                      QuotingCase{"Backslash", "a\\b", "a\\b", "a\\\\b", "\"a\\\\b\""},
                      QuotingCase{"ControlByte", std::string("a\x01z", 3), std::string("a\x01z", 3),
                                  std::string("a\x01z", 3), "\"a\\u0001z\""},
                      QuotingCase{"Utf8Kept",
                                  "b\xC3\xBC"
                                  "cher",
                                  "b\xC3\xBC"
                                  "cher",
                                  "b\xC3\xBC"
                                  "cher",
                                  "\"b\xC3\xBC"
                                  "cher\""},
                      QuotingCase{"Latin1Byte",
                                  "b\xFC"
                                  "cher",
                                  "b\xFC"
                                  "cher",
                                  "b\xFC"
                                  "cher",
                                  "\"b\\u00fccher\""},
                      QuotingCase{"CutUtf8", "x\xE2\x82", "x\xE2\x82", "x\xE2\x82",
                                  "\"x\\u00e2\\u0082\""},
                      QuotingCase{"Surrogate", "\xED\xA0\x80", "\xED\xA0\x80", "\xED\xA0\x80",
                                  "\"\\u00ed\\u00a0\\u0080\""},
                      QuotingCase{"FourBytes", "\xF0\x9F\x8C\x90", "\xF0\x9F\x8C\x90",
                                  "\xF0\x9F\x8C\x90", "\"\xF0\x9F\x8C\x90\""}),
    [](const auto& info) { return std::string(info.param.name); });

// Two rows: a finished one with a value holding every character that needs quoting, and one
// never looked up.
class FormattedRows : public ::testing::Test {
protected:
    FormattedRows() {
        rows_.setExtraColumnCount(2);
        rows_.append("shop.com");
        rows_.setSubItem(0, ResultStore::kState, "is not available");
        rows_.setSubItem(0, ResultStore::kTime, "~");
        rows_.setSubItem(0, ResultStore::kFirstExtra, "Kettle, \"Blue\"\tLtd");
        rows_.setSubItem(0, ResultStore::kFirstExtra + 1, "2014-07-21");
        rows_.append("zz.net");
    }

    std::string format(ResultFormat f, bool domainOnly = false) const {
        const ResultFormatter formatter(f, {"registrar", "created, on"}, domainOnly);
        std::string out = formatter.header();
        for (std::size_t row = 0; row < rows_.size(); ++row)
            formatter.appendRow(rows_, row, out);
        return out;
    }

    ResultStore rows_;
};

TEST_F(FormattedRows, TextIsTheSaveResultsLine) {
    EXPECT_EQ(format(ResultFormat::Text),
              "shop.com;is not available;~;Kettle, \"Blue\"\tLtd;2014-07-21;\r\n"
              "zz.net;;;;;\r\n");
    EXPECT_EQ(format(ResultFormat::Text, true), "shop.com\r\nzz.net\r\n");
}

TEST_F(FormattedRows, TablesHaveAHeaderAndEveryColumnButTheUnfilledOne) {
    EXPECT_EQ(format(ResultFormat::Csv),
              "Domain,State,Time,registrar,\"created, on\"\n"
              "shop.com,is not available,~,\"Kettle, \"\"Blue\"\"\tLtd\",2014-07-21\n"
              "zz.net,,,,\n");
    // "Domain Name only" shortens text lines only: a table keeps its columns.
    EXPECT_EQ(format(ResultFormat::Tsv, true),
              "Domain\tState\tTime\tregistrar\tcreated, on\n"
              "shop.com\tis not available\t~\tKettle, \"Blue\"\\tLtd\t2014-07-21\n"
              "zz.net\t\t\t\t\n");
}

TEST_F(FormattedRows, JsonIsOneObjectPerRowWithTheColumnsByCaption) {
    const std::string out = format(ResultFormat::Json);
    const std::size_t end = out.find('\n');
    ASSERT_NE(end, std::string::npos);
    const auto first = nlohmann::json::parse(out.substr(0, end));
    EXPECT_EQ(first["name"], "shop.com");
    EXPECT_EQ(first["state"], "is not available");
    EXPECT_EQ(first["time"], "~");
    EXPECT_EQ(first["from"], "reply");
    EXPECT_EQ(first["columns"]["registrar"], "Kettle, \"Blue\"\tLtd");
    EXPECT_EQ(first["columns"]["created, on"], "2014-07-21");
    const auto second = nlohmann::json::parse(out.substr(end + 1));
    EXPECT_EQ(second["from"], "none");
    EXPECT_EQ(second["columns"].size(), 2u);
    EXPECT_EQ(out.back(), '\n');
}

TEST(ResultFormatter, CaptionsThatRepeatBecomeDistinctKeys) {
    ResultStore rows;
    rows.setExtraColumnCount(3);
    rows.append("a.com");
    for (int i = 0; i < 3; ++i)
        rows.setSubItem(0, ResultStore::kFirstExtra + i, std::to_string(i));
    std::string out;
    ResultFormatter(ResultFormat::Json, {"server", "server", "server 2"}, false)
        .appendRow(rows, 0, out);
    const auto row = nlohmann::json::parse(out);
    EXPECT_EQ(row["columns"]["server"], "0");
    EXPECT_EQ(row["columns"]["server 2"], "1");
    EXPECT_EQ(row["columns"]["server 2 2"], "2");
}

TEST(VerdictSource, TheTimeColumnTellsWhereTheVerdictCameFrom) {
    EXPECT_EQ(VerdictSourceOf("~"), VerdictSource::Reply);
    EXPECT_EQ(VerdictSourceOf("dns"), VerdictSource::Dns);
    EXPECT_EQ(VerdictSourceOf("12"), VerdictSource::None);
    EXPECT_EQ(VerdictSourceOf(""), VerdictSource::None);
    EXPECT_STREQ(VerdictSourceText(VerdictSource::Dns), "dns");
}

TEST(RowSelection, StoredFilterAndTheFourGroups) {
    const RowSelection all =
        RowSelection::FromExportFilter(ExportFilter{false, false, false, true});
    for (const char* state : {"is available", "hold", "is not available", "no data", "no method",
                              "", "Loading 12 bt", "waiting"})
        EXPECT_TRUE(all.includes(state)) << state;

    const RowSelection stored = RowSelection::FromExportFilter(ExportFilter{true, true, false});
    EXPECT_TRUE(stored.includes("is available"));
    EXPECT_TRUE(stored.includes("hold"));
    EXPECT_FALSE(stored.includes("is not available"));
    EXPECT_FALSE(stored.includes("no data"));

    const RowSelection other{false, false, false, true};
    EXPECT_TRUE(other.includes("no data"));
    EXPECT_TRUE(other.includes("no method"));
    EXPECT_TRUE(other.includes(""));
    EXPECT_FALSE(other.includes("is available"));
    // Exact and case-sensitive, as the stored filter has always compared.
    EXPECT_FALSE(stored.includes("Is Available"));
}

TEST(ResultFormatNamed, KnowsTheFourNames) {
    EXPECT_EQ(ResultFormatNamed("csv"), ResultFormat::Csv);
    EXPECT_EQ(ResultFormatNamed("json"), ResultFormat::Json);
    EXPECT_EQ(ResultFormatNamed("CSV"), std::nullopt);
    EXPECT_EQ(ResultFormatNamed(""), std::nullopt);
}

} // namespace
} // namespace zendrel
