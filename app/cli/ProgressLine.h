#pragma once

#include "engine/DurationText.h"
#include "engine/RowStateCounts.h"
#include "platform/Clock.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zendrel {

// Where a search stands, for its progress line.
struct ProgressFigures {
    RowStateCounts counts;
    long handedOut = 0;      // rows handed to lookups that have ended (the plain line's count)
    int live = 0;            // lookups under way
    std::size_t waiting = 0; // rows held back for their server (its pace or a refusal)
    Millis elapsed = 0;
    double perMinute = 0;
    std::optional<std::int64_t> secondsLeft;
};

// The line written once a second when standard error is not a terminal, as it always was:
// "zendrel-search: 12 / 40 rows, 3 live, 5s" (", 2 waiting" after "live" while rows wait for
// their server), with its line end.
std::string PlainProgressLine(const ProgressFigures& f);

// The line redrawn in place on a terminal, at most `width` bytes, without a line end: rows done
// of all rows, the count of each state, lookups per minute and the time left.
std::string TerminalProgressLine(const ProgressFigures& f, std::size_t width);

// Progress and messages on standard error. On a terminal the progress is one line redrawn in
// place, and a message is written above it; otherwise every progress line and message is a line
// of its own.
class ProgressDisplay {
public:
    ProgressDisplay(int fd, bool terminal) : fd_(fd), terminal_(terminal) {}

    bool terminal() const { return terminal_; }
    void show(const ProgressFigures& f);
    // A line for the user (without its line end).
    void say(const std::string& line);
    // Clears the progress line, so that other output to the same terminal starts on a clean
    // line; the next show() draws it again.
    void hide();
    // Ends the progress line, leaving its last state on the screen.
    void finish();

private:
    void write(const std::string& text) const;
    std::size_t width() const;

    int fd_;
    bool terminal_;
    std::string shown_; // the progress line on the screen now, if any
};

} // namespace zendrel
