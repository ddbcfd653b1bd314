#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

class LookupConnection;

// Told about every change of the store, so a view can repaint what changed. Calls are cheap and
// frequent (one per written text); a view coalesces them into a few repaints a second.
class ResultStoreObserver {
public:
    virtual ~ResultStoreObserver() = default;
    virtual void rowsAppended(std::size_t first, std::size_t count) = 0;
    virtual void rowChanged(std::size_t row) = 0;
    // Everything may have changed (cleared, rows deleted, all check marks set).
    virtual void storeReset() = 0;
};

// The rows of a search: caption (name with dot and zone), sub-items (State, Time, one per extra
// column, one more that stays empty), a check mark and the slot of the live lookup connection.
// Rows are addressed by index and kept in the order they were added. A row that was never looked
// up costs its caption and a few words: its texts are allocated only once one is written.
class ResultStore {
public:
    static constexpr int kState = 0;
    static constexpr int kTime = 1;
    static constexpr int kFirstExtra = 2;

    ResultStore();
    ~ResultStore();

    // Sub-items of every row: State, Time, `extra` extracted fields and one further empty one.
    void setExtraColumnCount(int extra);
    int extraColumnCount() const;
    int subItemCount() const;

    std::size_t size() const;
    void clear();
    std::size_t append(std::string_view caption);  // unchecked, no connection, empty sub-items

    std::string_view caption(std::size_t row) const;
    std::string_view subItem(std::size_t row, int index) const;  // "" when never written
    void setSubItem(std::size_t row, int index, std::string_view text);  // ignores bad indexes
    bool checked(std::size_t row) const;
    void setChecked(std::size_t row, bool on);
    void setAllChecked(bool on);
    LookupConnection* connection(std::size_t row) const;
    void setConnection(std::size_t row, LookupConnection* c);

    // Deletes, in one compacting pass, every row for which `drop` is true (rows keep their order).
    template <typename Pred>
    std::size_t removeIf(Pred drop);

    void setObserver(ResultStoreObserver* o);
    std::size_t bytesUsed() const;  // an estimate, for the benchmarks
};

} // namespace zendrel
