#pragma once

#include "engine/NameCount.h"
#include "engine/SearchInput.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace zendrel {

// Keeps the number of names the next Search makes up to date while the user edits. A change
// only arms a short timer; the names are counted (never generated) once it fires, from the
// controls as they stand then, so a burst of changes (a word file loaded, a number typed digit
// by digit, a whole zone list checked) costs one count.
class NameCountPreview final : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 100;

    // `input` reads the search input from the controls.
    explicit NameCountPreview(std::function<SearchInput()> input, QObject* parent = nullptr);

    // An input of the count changed.
    void inputChanged();
    // Counts now, from the controls as they stand, whether a change is pending or not.
    void countNow();
    // True while a change is not counted yet.
    bool pending() const { return timer_.isActive(); }
    const NameCount& count() const { return count_; }
    // How many times the names were counted.
    int countsMade() const { return countsMade_; }

signals:
    void counted(const NameCount& count);

private:
    std::function<SearchInput()> input_;
    QTimer timer_;
    NameCount count_;
    int countsMade_ = 0;
};

} // namespace zendrel
