#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

class RowLookup;

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
// column, one more that stays empty), a check mark and the slot of the row's live lookup.
// Rows are addressed by index and kept in the order they were added. A row that was never looked
// up costs its caption and a few words: its texts are allocated only once one is written.
class ResultStore {
public:
    static constexpr int kState = 0;
    static constexpr int kTime = 1;
    static constexpr int kFirstExtra = 2;

    ResultStore();
    ~ResultStore();
    ResultStore(const ResultStore&) = delete;
    ResultStore& operator=(const ResultStore&) = delete;

    // Sub-items of every row: State, Time, `extra` extracted fields and one further empty one.
    void setExtraColumnCount(int extra);
    int extraColumnCount() const;
    int subItemCount() const;

    std::size_t size() const;
    void clear();
    std::size_t append(std::string_view caption); // unchecked, no connection, empty sub-items
    // Makes room for `rows` more rows and `captionBytes` more caption bytes.
    void reserve(std::size_t rows, std::size_t captionBytes);

    std::string_view caption(std::size_t row) const;
    std::string_view subItem(std::size_t row, int index) const;         // "" when never written
    void setSubItem(std::size_t row, int index, std::string_view text); // ignores bad indexes
    bool checked(std::size_t row) const;
    void setChecked(std::size_t row, bool on);
    void setAllChecked(bool on);
    RowLookup* connection(std::size_t row) const;
    void setConnection(std::size_t row, RowLookup* c);

    // Deletes, in one compacting pass, every row for which `drop` is true (rows keep their order).
    // `drop` receives the row's index as it was before the call and may read that row (and the
    // rows after it) through the store.
    template <typename Pred>
    std::size_t removeIf(Pred drop);

    void setObserver(ResultStoreObserver* o);
    std::size_t bytesUsed() const; // an estimate, for the benchmarks

private:
    // Texts are one vector per row, created by the first non-empty write.
    using Texts = std::vector<std::string>;
    struct Row {
        std::uint64_t captionPos = 0; // into captions_
        std::uint32_t captionLen = 0;
        bool checked = false;
        RowLookup* connection = nullptr;
        std::unique_ptr<Texts> texts;
    };

    bool valid(std::size_t row) const { return row < rows_.size(); }
    void changed(std::size_t row);
    void reset();

    std::vector<Row> rows_;
    std::string captions_; // every caption back to back, in row order
    int extra_ = 0;
    ResultStoreObserver* observer_ = nullptr;
};

template <typename Pred>
std::size_t ResultStore::removeIf(Pred drop) {
    // Rows and their caption bytes both move towards the front in row order, so one pass
    // over each suffices and no caption is ever overwritten before it has been moved.
    std::size_t keep = 0;
    std::uint64_t textEnd = 0;
    const std::size_t before = rows_.size();
    for (std::size_t i = 0; i < before; ++i) {
        if (drop(i))
            continue;
        Row& r = rows_[i];
        if (r.captionPos != textEnd && r.captionLen != 0)
            std::memmove(captions_.data() + textEnd, captions_.data() + r.captionPos, r.captionLen);
        r.captionPos = textEnd;
        textEnd += r.captionLen;
        if (keep != i)
            rows_[keep] = std::move(r);
        ++keep;
    }
    rows_.resize(keep);
    captions_.resize(textEnd);
    const std::size_t removed = before - keep;
    if (removed != 0)
        reset();
    return removed;
}

} // namespace zendrel
