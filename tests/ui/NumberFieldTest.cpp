#include "tests/ui/QStringPrinter.h"
#include "ui/UpDown.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

// Typed key by key: every keystroke that leaves a number in range takes effect, so the value in
// use is the last valid prefix.
struct Typed {
    const char* name;
    const char* text;
    int expected; // position after typing, starting from 100 in 1..1000
};

class NumberFieldTyping : public ::testing::TestWithParam<Typed> {};

TEST_P(NumberFieldTyping, OnlyNumbersInRangeAreTaken) {
    QLineEdit edit;
    UpDown ud(1, 1000, 100);
    ud.setBuddy(&edit);
    edit.selectAll();
    QTest::keyClicks(&edit, QString::fromLatin1(GetParam().text));
    EXPECT_EQ(ud.position(), GetParam().expected);
    emit edit.editingFinished();
    EXPECT_EQ(edit.text(), QString::number(GetParam().expected)) << "field shows the value in use";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberFieldTyping,
    ::testing::Values(Typed{"InRange", "250", 250}, Typed{"Highest", "1000", 1000},
                      Typed{"AboveHighest", "1001", 100}, Typed{"BelowLowest", "0", 100},
                      Typed{"Negative", "-5", 100}, Typed{"TrailingLetter", "12a", 12},
                      Typed{"Letters", "abc", 100}, Typed{"Nothing", "", 100},
                      Typed{"FarTooMany", "99999999999", 999}, Typed{"LeadingBlank", " 7", 7}),
    [](const ::testing::TestParamInfo<Typed>& info) { return std::string(info.param.name); });

TEST(NumberField, StepsStopAtTheLimitsWithoutWrapping) {
    QLineEdit edit;
    UpDown ud(0, 2, 1);
    ud.setBuddy(&edit);
    std::vector<int> seen;
    QObject::connect(&ud, &UpDown::positionChanged, [&](int v) { seen.push_back(v); });
    ud.stepBy(1);
    ud.stepBy(1);
    EXPECT_EQ(ud.position(), 2);
    ud.stepBy(-5);
    EXPECT_EQ(ud.position(), 0);
    ud.setPosition(-1);
    EXPECT_EQ(ud.position(), 0);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "1");
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&edit, &wheel);
    EXPECT_EQ(ud.position(), 2);
    EXPECT_EQ(seen, (std::vector<int>{2, 0, 1, 2}));
}

} // namespace
} // namespace zendrel
