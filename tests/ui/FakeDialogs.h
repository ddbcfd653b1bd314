#pragma once

#include "ui/DialogService.h"

#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace zendrel::test {

// Answers every dialog from a script and records what was asked. A dialog the script did not
// expect fails the test and is answered with No / Cancel.
class FakeDialogs : public DialogService {
public:
    struct Message {
        QString text;
        QString caption;
        Icon icon;
    };
    struct Question {
        QString text;
        QString caption;
    };
    struct FileAsk {
        bool save;
        QString filter;
        QString initialName;
        QString initialFolder;
    };
    struct ItemAsk {
        bool newItem;
        QString text;
    };
    struct ItemAnswer {
        bool ok;
        QString text;
    };

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::vector<FileAsk> fileAsks;
    std::vector<ItemAsk> itemAsks;
    int beeps = 0;

    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<ItemAnswer> itemAnswers;

    void showMessage(QWidget*, const QString& text, const QString& caption, Icon icon) override {
        messages.push_back({text, caption, icon});
    }
    bool askYesNo(QWidget*, const QString& text, const QString& caption) override {
        questions.push_back({text, caption});
        return next(yesNoAnswers, false, "question");
    }
    std::optional<QString> openFileName(QWidget*, const QString& filter, const QString& name,
                                        const QString& folder) override {
        fileAsks.push_back({false, filter, name, folder});
        return nextFileName("open dialog");
    }
    std::optional<QString> saveFileName(QWidget*, const QString& filter, const QString& name,
                                        const QString& folder) override {
        fileAsks.push_back({true, filter, name, folder});
        return nextFileName("save dialog");
    }
    bool askItem(QWidget*, bool newItem, QString& text) override {
        itemAsks.push_back({newItem, text});
        ItemAnswer a = next(itemAnswers, ItemAnswer{false, {}}, "input dialog");
        if (a.ok)
            text = a.text;
        return a.ok;
    }
    void beep() override { ++beeps; }

private:
    // The next file answer, taken apart rather than copied: GCC 12 takes the copy of an empty
    // optional<QString> for a use of an uninitialised string.
    std::optional<QString> nextFileName(const char* what) {
        if (fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return std::nullopt;
        }
        const bool chosen = fileAnswers.front().has_value();
        QString name = fileAnswers.front().value_or(QString());
        fileAnswers.pop_front();
        if (!chosen)
            return std::nullopt;
        return name;
    }
    template <typename T>
    static T next(std::deque<T>& script, T fallback, const char* what) {
        if (script.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return fallback;
        }
        T answer = script.front();
        script.pop_front();
        return answer;
    }
};

} // namespace zendrel::test
