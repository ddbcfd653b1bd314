#include "app/cli/ProgressLine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace zendrel {
namespace {

ProgressFigures Figures() {
    ProgressFigures f;
    f.counts = RowStateCounts{120, 1000, 3, 111, 2, 764};
    f.handedOut = 1236;
    f.live = 4;
    f.waiting = 2;
    f.elapsed = 65'400;
    f.perMinute = 57.6;
    f.secondsLeft = 800;
    return f;
}

TEST(ProgressLine, PlainLineIsTheOnceASecondLog) {
    ProgressFigures f = Figures();
    EXPECT_EQ(PlainProgressLine(f), "zendrel-search: 1236 / 2000 rows, 4 live, 2 waiting, 65s\n");
    f.waiting = 0;
    EXPECT_EQ(PlainProgressLine(f), "zendrel-search: 1236 / 2000 rows, 4 live, 65s\n");
}

TEST(ProgressLine, TerminalLineCountsEveryStateAndFitsTheWidth) {
    const std::string full = "1234/2000 rows | 120 available, 3 hold, 1000 not available, 111 no "
                             "data, 2 waiting | 58/min, 13m20s left";
    EXPECT_EQ(TerminalProgressLine(Figures(), 200), full);
    EXPECT_EQ(TerminalProgressLine(Figures(), 20), full.substr(0, 20));

    ProgressFigures early = Figures();
    early.counts.waiting = 0;
    early.waiting = 0;
    early.perMinute = 0;
    early.secondsLeft.reset();
    EXPECT_EQ(TerminalProgressLine(early, 200),
              "1234/1998 rows | 120 available, 3 hold, 1000 not available, 111 no data | 0/min");
}

TEST(ProgressLine, DurationsReadAtAGlance) {
    EXPECT_EQ(DurationText(0), "0s");
    EXPECT_EQ(DurationText(59), "59s");
    EXPECT_EQ(DurationText(60), "1m00s");
    EXPECT_EQ(DurationText(3599), "59m59s");
    EXPECT_EQ(DurationText(3600 * 26 + 5 * 60 + 9), "26h05m");
}

// What a display writes, read back from a pipe.
class DisplayOutput : public ::testing::Test {
protected:
    DisplayOutput() {
        EXPECT_EQ(::pipe(fds_), 0);
        ::fcntl(fds_[0], F_SETFL, O_NONBLOCK);
    }
    ~DisplayOutput() override {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    std::string written() {
        std::string out;
        char buf[1024];
        ssize_t n;
        while ((n = ::read(fds_[0], buf, sizeof buf)) > 0)
            out.append(buf, static_cast<std::size_t>(n));
        return out;
    }
    int fds_[2] = {-1, -1};
};

TEST_F(DisplayOutput, OnATerminalTheLineIsRedrawnAndMessagesGoAboveIt) {
    ProgressDisplay display(fds_[1], true);
    ProgressFigures f = Figures();
    f.counts = RowStateCounts{1, 0, 0, 0, 0, 1};
    f.waiting = 0;
    f.perMinute = 6;
    f.secondsLeft = 10;
    display.show(f);
    display.say("zendrel-search: b.com: connection refused");
    f.counts = RowStateCounts{1, 0, 0, 1, 0, 0};
    display.show(f);
    display.hide();
    display.say("zendrel-search: Search is completed");
    display.finish();
    const std::string line1 = "1/2 rows | 1 available, 0 hold, 0 not available, 0 no data | "
                              "6/min, 10s left";
    const std::string line2 = "2/2 rows | 1 available, 0 hold, 0 not available, 1 no data | "
                              "6/min, 10s left";
    EXPECT_EQ(written(), "\r\x1b[K" + line1 + // drawn
                             "\r\x1b[Kzendrel-search: b.com: connection refused\n" + line1 + //
                             "\r\x1b[K" + line2 + // redrawn
                             "\r\x1b[K" +         // hidden
                             "zendrel-search: Search is completed\n");
}

TEST_F(DisplayOutput, ElsewhereEveryLineStandsAlone) {
    ProgressDisplay display(fds_[1], false);
    display.show(Figures());
    display.say("zendrel-search: Search is completed");
    display.hide();
    display.finish();
    EXPECT_EQ(written(), "zendrel-search: 1236 / 2000 rows, 4 live, 2 waiting, 65s\n"
                         "zendrel-search: Search is completed\n");
}

} // namespace
} // namespace zendrel
