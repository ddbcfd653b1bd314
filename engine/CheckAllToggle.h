#pragma once

namespace zendrel {

class ResultStore;
class SearchWindow;

// The check-all toggle on the "Domain" header of the results list. The counter is -1 after a
// run has started (so the first click checks every row), 0 before any run (the first click
// unchecks), and alternates between 0 (all checked) and 1 (all unchecked) with each click.
class CheckAllToggle {
public:
    static constexpr int kDomainColumn = 0;

    int counter() const { return counter_; }
    // Called when a run starts.
    void reset() { counter_ = -1; }
    // A click on header `column`: on "Domain" it sets every row's check mark under the busy
    // cursor and returns true; any other column is left alone.
    bool columnClick(int column, ResultStore& rows, SearchWindow& window);

private:
    int counter_ = 0;
};

} // namespace zendrel
