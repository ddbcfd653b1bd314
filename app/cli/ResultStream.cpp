#include "app/cli/ResultStream.h"

#include "engine/ResultStore.h"

#include <cerrno>
#include <unistd.h>

namespace zendrel {

namespace {

// Rows are written in pieces of about this size, so a million rows never sit in memory twice.
constexpr std::size_t kPieceBytes = 64 * 1024;

} // namespace

bool ResultStream::writeAll(const std::string& bytes) {
    std::size_t off = 0;
    while (error_ == 0 && off < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + off, bytes.size() - off);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            error_ = n < 0 ? errno : EIO;
        else
            off += static_cast<std::size_t>(n);
    }
    return error_ == 0;
}

bool ResultStream::writeRows(const ResultStore& rows, std::size_t end) {
    if (error_ != 0)
        return false;
    std::string piece;
    if (!headerWritten_) {
        piece = formatter_.header();
        headerWritten_ = true;
    }
    for (; next_ < end; ++next_) {
        if (selection_.includes(rows.subItem(next_, ResultStore::kState)))
            formatter_.appendRow(rows, next_, piece);
        if (piece.size() >= kPieceBytes) {
            if (!writeAll(piece))
                return false;
            piece.clear();
        }
    }
    return writeAll(piece);
}

bool ResultStream::writeFinal(const ResultStore& rows,
                              const std::function<bool(std::size_t)>& final) {
    std::size_t end = next_;
    while (end < rows.size() && final(end))
        ++end;
    if (end == next_)
        return error_ == 0;
    return writeRows(rows, end);
}

bool ResultStream::writeRest(const ResultStore& rows) {
    return writeRows(rows, rows.size());
}

} // namespace zendrel
