#pragma once

#include <cstddef>
#include <unordered_map>

namespace zendrel {

// How often each row was refused in the current pass. A row refused this often gives up for the
// pass ("no data", check mark clear), so that Resume and auto-resume take it again later rather
// than one row holding a run open for ever. Only refused rows are kept: a search holds up to
// millions of rows, and few are ever refused.
class RowRefusals {
public:
    static constexpr int kGiveUpAfter = 5;

    // Counts one refusal of `row`; true when the row has now had kGiveUpAfter of them.
    bool refused(std::size_t row);
    int count(std::size_t row) const;
    // The row got its verdict or gave up: its count goes.
    void forget(std::size_t row) { counts_.erase(row); }
    // A new pass starts every row's count afresh.
    void newPass() { counts_.clear(); }

private:
    std::unordered_map<std::size_t, int> counts_;
};

} // namespace zendrel
