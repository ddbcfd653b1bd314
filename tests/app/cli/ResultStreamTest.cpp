#include "app/cli/ResultStream.h"

#include "engine/ResultStore.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace zendrel {
namespace {

using test::TempDir;

class ResultStreamTest : public ::testing::Test {
protected:
    ResultStreamTest() {
        rows_.setExtraColumnCount(0);
        for (const char* name : {"a.com", "b.com", "c.com", "d.com"})
            rows_.append(name);
        fd_ = ::open(dir_.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    ~ResultStreamTest() override { ::close(fd_); }

    void finish(std::size_t row, const char* state) {
        rows_.setSubItem(row, ResultStore::kState, state);
        final_.resize(rows_.size());
        final_[row] = true;
    }
    bool isFinal(std::size_t row) const { return row < final_.size() && final_[row]; }

    TempDir dir_;
    ResultStore rows_;
    std::vector<bool> final_;
    int fd_ = -1;
};

TEST_F(ResultStreamTest, RowsGoInOrderOnceTheyAndTheRowsBeforeThemAreFinal) {
    ResultStream out(fd_, ResultFormatter(ResultFormat::Csv, {}, false),
                     RowSelection{true, false, false, false});
    const auto final = [this](std::size_t row) { return isFinal(row); };
    finish(1, "is available");
    ASSERT_TRUE(out.writeFinal(rows_, final));
    EXPECT_EQ(out.written(), 0u) << "b.com waits for a.com";
    EXPECT_EQ(dir_.read("out"), "");
    finish(0, "is not available");
    ASSERT_TRUE(out.writeFinal(rows_, final));
    EXPECT_EQ(out.written(), 2u);
    EXPECT_EQ(dir_.read("out"), "Domain,State,Time\nb.com,is available,\n");
    finish(3, "is available");
    ASSERT_TRUE(out.writeRest(rows_)); // the end: c.com goes as it stands (not selected)
    EXPECT_EQ(dir_.read("out"), "Domain,State,Time\nb.com,is available,\nd.com,is available,\n");
    EXPECT_EQ(out.error(), 0);
}

TEST_F(ResultStreamTest, AnEmptyResultStillHasItsHeader) {
    ResultStream out(fd_, ResultFormatter(ResultFormat::Tsv, {"registrar"}, false), RowSelection{});
    ASSERT_TRUE(out.writeRest(rows_));
    EXPECT_EQ(dir_.read("out"), "Domain\tState\tTime\tregistrar\n");
}

TEST(ResultStream, AFailedWriteIsKeptAndEndsWriting) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    const auto previous = ::signal(SIGPIPE, SIG_IGN);
    ResultStore rows;
    rows.append("a.com");
    ResultStream out(fds[1], ResultFormatter(ResultFormat::Text, {}, false), RowSelection::All());
    EXPECT_FALSE(out.writeRest(rows));
    EXPECT_EQ(out.error(), EPIPE);
    EXPECT_FALSE(out.writeRest(rows));
    ::close(fds[1]);
    ::signal(SIGPIPE, previous);

    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ResultStream disk(full, ResultFormatter(ResultFormat::Text, {}, false), RowSelection::All());
    EXPECT_FALSE(disk.writeRest(rows));
    EXPECT_EQ(disk.error(), ENOSPC);
    ::close(full);
}

} // namespace
} // namespace zendrel
