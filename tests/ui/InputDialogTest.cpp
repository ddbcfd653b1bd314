#include "ui/BuMyIQ.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace zendrel {
namespace {

QLineEdit* field(QWidget* dialog) {
    return dialog->findChild<QLineEdit*>("eItem");
}

// Runs AskItem and, once its dialog is up, lets `act` drive it.
bool AskWith(bool newItem, QString& text, std::function<void(T_FIQ*)> act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<T_FIQ*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no input dialog";
            return;
        }
        acted = true;
        act(dialog);
    });
    bool ok = AskItem(nullptr, newItem, text);
    EXPECT_TRUE(acted);
    return ok;
}

void Press(T_FIQ* dialog, const char* button) {
    QTest::mouseClick(dialog->findChild<QToolButton*>(button), Qt::LeftButton);
}

TEST(InputDialog, CaptionAndStartingText) {
    T_FIQ fresh(nullptr, true, "");
    EXPECT_EQ(fresh.windowTitle(), "New Item");
    T_FIQ edit(nullptr, false, "old_one.x");
    EXPECT_EQ(edit.windowTitle(), "Edit Item");
    EXPECT_EQ(field(&edit)->text(), "old_one.x"); // only typed text is filtered
}

TEST(InputDialog, KeyFilterBeepsForCharactersOutsideTheLabelSet) {
    T_FIQ dialog(nullptr, true, "");
    QSignalSpy beeps(&dialog, &T_FIQ::beeped);
    QTest::keyClicks(field(&dialog), "a b.c_D-9");
    EXPECT_EQ(field(&dialog)->text(), "abcD-9");
    EXPECT_EQ(beeps.count(), 3);
    QTest::keyClick(field(&dialog), Qt::Key_Backspace);
    EXPECT_EQ(field(&dialog)->text(), "abcD-");
    EXPECT_EQ(beeps.count(), 3);
}

TEST(InputDialog, PasteIsFilteredWithOneBeep) {
    T_FIQ dialog(nullptr, true, "x");
    QSignalSpy beeps(&dialog, &T_FIQ::beeped);
    QApplication::clipboard()->setText("a.b c;d");
    QTest::keySequence(field(&dialog), QKeySequence::Paste);
    EXPECT_EQ(field(&dialog)->text(), "xabcd");
    EXPECT_EQ(beeps.count(), 1);
}

TEST(InputDialog, ContextMenuPasteIsFilteredToo) {
    T_FIQ dialog(nullptr, true, "");
    QSignalSpy beeps(&dialog, &T_FIQ::beeped);
    QApplication::clipboard()->setText("x y");
    std::unique_ptr<QMenu> menu(dialog.createFieldMenu());
    auto* paste = menu->findChild<QAction*>("edit-paste");
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(field(&dialog)->text(), "xy");
    EXPECT_EQ(beeps.count(), 1);
}

TEST(InputDialog, EnterAndEscapeDoNotClose) {
    T_FIQ dialog(nullptr, true, "");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClicks(field(&dialog), "ab");
    QTest::keyClick(field(&dialog), Qt::Key_Return);
    QTest::keyClick(field(&dialog), Qt::Key_Enter);
    QTest::keyClick(field(&dialog), Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(field(&dialog)->text(), "ab");
}

TEST(InputDialog, AskItemReturnsTrimmedTextOnlyForOkWithText) {
    struct Case {
        const char* name;
        QString start;
        std::function<void(T_FIQ*)> act;
        bool ok;
        QString text;
    };
    const Case cases[] = {
        {"ok trims", "",
         [](T_FIQ* d) {
             field(d)->setText(" \tab-1\x01 ");
             Press(d, "SpeedButton1");
         },
         true, "ab-1"},
        {"ok on blanks", "keep",
         [](T_FIQ* d) {
             field(d)->setText("   ");
             Press(d, "SpeedButton1");
         },
         false, "keep"},
        {"cancel", "keep",
         [](T_FIQ* d) {
             QTest::keyClicks(field(d), "more");
             Press(d, "SpeedButton2");
         },
         false, "keep"},
        {"title-bar close", "keep", [](T_FIQ* d) { d->close(); }, false, "keep"},
        {"old text accepted", "caf\u00e9.old", [](T_FIQ* d) { Press(d, "SpeedButton1"); }, true,
         "caf\u00e9.old"},
    };
    for (const Case& c : cases) {
        QString text = c.start;
        EXPECT_EQ(AskWith(false, text, c.act), c.ok) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

} // namespace
} // namespace zendrel
