#pragma once

#include "engine/ResultFormats.h"

#include <cstddef>
#include <functional>
#include <string>

namespace zendrel {

class ResultStore;

// Writes the rows of a search to a file descriptor in one format, in row order, each row once:
// a row can go as soon as it and every row before it are final, so a reader sees results while
// the search runs. The first failed write ends all writing; its error is kept.
class ResultStream {
public:
    ResultStream(int fd, ResultFormatter formatter, RowSelection selection)
        : fd_(fd), formatter_(std::move(formatter)), selection_(selection) {}

    // Writes the rows from the first one not yet written for as long as `final(row)` holds.
    // Returns false once a write has failed.
    bool writeFinal(const ResultStore& rows, const std::function<bool(std::size_t)>& final);
    // Writes every row not yet written (and the header if nothing was written yet).
    bool writeRest(const ResultStore& rows);

    std::size_t written() const { return next_; }
    // The errno of the write that failed; 0 while none has.
    int error() const { return error_; }

private:
    bool writeRows(const ResultStore& rows, std::size_t end);
    bool writeAll(const std::string& bytes);

    int fd_;
    ResultFormatter formatter_;
    RowSelection selection_;
    std::size_t next_ = 0; // the first row not yet written (or passed over)
    bool headerWritten_ = false;
    int error_ = 0;
};

} // namespace zendrel
