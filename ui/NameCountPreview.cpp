#include "ui/NameCountPreview.h"

namespace zendrel {

NameCountPreview::NameCountPreview(std::function<SearchInput()> input, QObject* parent)
    : QObject(parent), input_(std::move(input)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &NameCountPreview::countNow);
}

void NameCountPreview::inputChanged() {
    // Not restarted by later changes: a steady stream of edits still sees its count update.
    if (!timer_.isActive())
        timer_.start();
}

void NameCountPreview::countNow() {
    timer_.stop();
    count_ = CountCandidateRows(input_());
    ++countsMade_;
    emit counted(count_);
}

} // namespace zendrel
