#include "ui/RunStatusBar.h"

#include "engine/DurationText.h"
#include "ui/Latin1.h"

#include <QLabel>
#include <QToolButton>
#include <cmath>

namespace zendrel {

namespace {

QString countText(const char* state, std::size_t n) {
    return QStringLiteral("%1: %2").arg(QLatin1String(state)).arg(n);
}

} // namespace

RunStatusTexts DescribeRunStatus(const RunStatusFigures& f) {
    const RowStateCounts& c = f.counts;
    RunStatusTexts t;
    t.available = countText("is available", c.available);
    t.notAvailable = countText("is not available", c.notAvailable);
    t.hold = countText("hold", c.hold);
    t.noData = countText("no data", c.noData);
    t.waiting = countText("waiting", c.waiting + c.open);
    if (f.perMinute)
        t.rate = QStringLiteral("%1 lookups/min").arg(std::llround(*f.perMinute));
    if (f.running && f.secondsLeft)
        t.left = toQ(DurationText(*f.secondsLeft)) + QStringLiteral(" left");
    return t;
}

RunStatusBar::RunStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblCount->setMinimumWidth(1);
    addWidget(lblCount, 1);
    lblAvailable = field("lblAvailable", QStringLiteral("Rows found free"));
    lblNotAvailable = field("lblNotAvailable", QStringLiteral("Rows found registered"));
    lblHold = field("lblHold", QStringLiteral("Rows found on hold"));
    lblNoData = field("lblNoData", QStringLiteral("Rows without an answer, or without a method"));
    lblWaiting = field("lblWaiting", QStringLiteral("Rows without a verdict yet: not looked up, "
                                                    "under way, or waiting for their server"));
    lblRate = field("lblRate", QStringLiteral("Lookups ended per minute, over the last minute"));
    lblLeft = field("lblLeft", QStringLiteral("Time the rows without a verdict take at this pace"));
    sbRules = new QToolButton(this);
    sbRules->setObjectName(QStringLiteral("sbRules"));
    sbRules->setText(QStringLiteral("Rule tester"));
    sbRules->setToolTip(QStringLiteral("Try the methods of method.txt on a reply (Ctrl+T)"));
    sbRules->setAutoRaise(true);
    addPermanentWidget(sbRules);
    connect(sbRules, &QToolButton::clicked, this, &RunStatusBar::ruleTesterClicked);
    showFigures({});
}

QLabel* RunStatusBar::field(const char* name, const QString& hint) {
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setToolTip(hint);
    addPermanentWidget(label);
    return label;
}

void RunStatusBar::showNameCount(const NameCount& count) {
    lblCount->setText(toQ(DescribeNameCount(count)));
    QString hint = QStringLiteral("The rows the next Search makes: one per name and checked zone");
    if (count.tooMany)
        hint = QStringLiteral("The next Search makes more rows than can be counted");
    else if (!count.exact)
        hint = QStringLiteral("Counting these names exactly would take long: the next Search "
                              "makes at most this many rows, one per name and checked zone");
    lblCount->setToolTip(hint);
}

void RunStatusBar::showFigures(const RunStatusFigures& f) {
    const RunStatusTexts t = DescribeRunStatus(f);
    lblAvailable->setText(t.available);
    lblNotAvailable->setText(t.notAvailable);
    lblHold->setText(t.hold);
    lblNoData->setText(t.noData);
    lblWaiting->setText(t.waiting);
    lblRate->setText(t.rate);
    lblRate->setVisible(!t.rate.isEmpty());
    lblLeft->setText(t.left);
    lblLeft->setVisible(!t.left.isEmpty());
}

} // namespace zendrel
