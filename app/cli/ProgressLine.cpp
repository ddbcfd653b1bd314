// Progress on a terminal is one line redrawn in place: a carriage return goes back to its start
// and "erase to end of line" removes what a longer earlier line left. The line is kept shorter
// than the terminal is wide, because a line that wraps can no longer be redrawn in place.
#include "app/cli/ProgressLine.h"

#include <cerrno>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zendrel {

namespace {

constexpr const char* kEraseLine = "\r\x1b[K";

void AppendCount(std::string& out, std::size_t n, const char* what) {
    out += std::to_string(n);
    out += ' ';
    out += what;
}

} // namespace

std::string PlainProgressLine(const ProgressFigures& f) {
    const std::string waiting =
        f.waiting > 0 ? ", " + std::to_string(f.waiting) + " waiting" : std::string();
    char line[200];
    std::snprintf(line, sizeof line, "zendrel-search: %ld / %zu rows, %d live%s, %llds\n",
                  f.handedOut, f.counts.total(), f.live, waiting.c_str(),
                  static_cast<long long>(f.elapsed / 1000));
    return line;
}

std::string TerminalProgressLine(const ProgressFigures& f, std::size_t width) {
    const RowStateCounts& c = f.counts;
    std::string line = std::to_string(c.done()) + "/" + std::to_string(c.total()) + " rows | ";
    AppendCount(line, c.available, "available, ");
    AppendCount(line, c.hold, "hold, ");
    AppendCount(line, c.notAvailable, "not available, ");
    AppendCount(line, c.noData, "no data");
    if (f.waiting != 0)
        AppendCount(line += ", ", f.waiting, "waiting");
    line += " | " + std::to_string(static_cast<long long>(f.perMinute + 0.5)) + "/min";
    if (f.secondsLeft)
        line += ", " + DurationText(*f.secondsLeft) + " left";
    if (line.size() > width)
        line.resize(width);
    return line;
}

void ProgressDisplay::write(const std::string& text) const {
    std::size_t off = 0;
    while (off < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + off, text.size() - off);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // progress that cannot be shown is no reason to stop a search
        off += static_cast<std::size_t>(n);
    }
}

std::size_t ProgressDisplay::width() const {
    winsize size{};
    const std::size_t columns = ::ioctl(fd_, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
    // One column is left free: a line as wide as the terminal wraps on some terminals.
    return columns > 1 ? columns - 1 : 79;
}

void ProgressDisplay::show(const ProgressFigures& f) {
    if (!terminal_) {
        write(PlainProgressLine(f));
        return;
    }
    shown_ = TerminalProgressLine(f, width());
    write(kEraseLine + shown_);
}

void ProgressDisplay::say(const std::string& line) {
    if (!terminal_ || shown_.empty()) {
        write(line + "\n");
        return;
    }
    write(kEraseLine + line + "\n" + shown_);
}

void ProgressDisplay::hide() {
    if (terminal_ && !shown_.empty())
        write(kEraseLine);
    shown_.clear();
}

void ProgressDisplay::finish() {
    if (terminal_ && !shown_.empty())
        write("\n");
    shown_.clear();
}

} // namespace zendrel
