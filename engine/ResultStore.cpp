#include "engine/ResultStore.h"

#include <algorithm>

namespace zendrel {

ResultStore::ResultStore() = default;
ResultStore::~ResultStore() = default;

void ResultStore::setExtraColumnCount(int extra) {
    extra_ = std::max(0, extra);
}

int ResultStore::extraColumnCount() const {
    return extra_;
}

int ResultStore::subItemCount() const {
    return kFirstExtra + extra_ + 1;
}

std::size_t ResultStore::size() const {
    return rows_.size();
}

void ResultStore::clear() {
    // Swapping with empties releases the memory, which a million-row search wants back.
    std::vector<Row>().swap(rows_);
    std::string().swap(captions_);
    reset();
}

std::size_t ResultStore::append(std::string_view caption) {
    Row r;
    r.captionPos = captions_.size();
    r.captionLen = static_cast<std::uint32_t>(caption.size());
    captions_.append(caption);
    rows_.push_back(std::move(r));
    const std::size_t row = rows_.size() - 1;
    if (observer_)
        observer_->rowsAppended(row, 1);
    return row;
}

void ResultStore::reserve(std::size_t rows, std::size_t captionBytes) {
    rows_.reserve(rows_.size() + rows);
    captions_.reserve(captions_.size() + captionBytes);
}

std::string_view ResultStore::caption(std::size_t row) const {
    if (!valid(row))
        return {};
    const Row& r = rows_[row];
    return std::string_view(captions_).substr(r.captionPos, r.captionLen);
}

std::string_view ResultStore::subItem(std::size_t row, int index) const {
    if (!valid(row) || index < 0)
        return {};
    const Texts* t = rows_[row].texts.get();
    if (!t || static_cast<std::size_t>(index) >= t->size())
        return {};
    return (*t)[static_cast<std::size_t>(index)];
}

void ResultStore::setSubItem(std::size_t row, int index, std::string_view text) {
    if (!valid(row) || index < 0 || index >= subItemCount())
        return;
    Row& r = rows_[row];
    const auto at = static_cast<std::size_t>(index);
    if (!r.texts) {
        if (text.empty())
            return; // never written and still empty: nothing to store
        r.texts = std::make_unique<Texts>();
    }
    if (at >= r.texts->size()) {
        if (text.empty())
            return;
        // Most rows only ever get State and Time: extracted fields take room once written.
        r.texts->resize(at + 1);
    }
    (*r.texts)[at].assign(text);
    changed(row);
}

bool ResultStore::checked(std::size_t row) const {
    return valid(row) && rows_[row].checked;
}

void ResultStore::setChecked(std::size_t row, bool on) {
    if (!valid(row) || rows_[row].checked == on)
        return;
    rows_[row].checked = on;
    changed(row);
}

void ResultStore::setAllChecked(bool on) {
    for (Row& r : rows_)
        r.checked = on;
    reset();
}

RowLookup* ResultStore::connection(std::size_t row) const {
    return valid(row) ? rows_[row].connection : nullptr;
}

void ResultStore::setConnection(std::size_t row, RowLookup* c) {
    if (valid(row))
        rows_[row].connection = c;
}

void ResultStore::setObserver(ResultStoreObserver* o) {
    observer_ = o;
}

std::size_t ResultStore::bytesUsed() const {
    std::size_t bytes = sizeof(*this) + rows_.capacity() * sizeof(Row) + captions_.capacity();
    for (const Row& r : rows_) {
        if (!r.texts)
            continue;
        bytes += sizeof(Texts) + r.texts->capacity() * sizeof(std::string);
        for (const std::string& s : *r.texts)
            if (s.capacity() > sizeof(std::string) - 1)
                bytes += s.capacity() + 1;
    }
    return bytes;
}

void ResultStore::changed(std::size_t row) {
    if (observer_)
        observer_->rowChanged(row);
}

void ResultStore::reset() {
    if (observer_)
        observer_->storeReset();
}

} // namespace zendrel
