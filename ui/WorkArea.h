#pragma once

#include <QFrame>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSplitter;

namespace zendrel {

class AdditionalWordPane;
class DialogService;
class KeywordPane;
class OptionsPane;
class UpDown;
struct WorkspaceSettings;

// The middle of the window: the keyword pane with the combinations field in its tool row, the
// splitter that sizes it, the additional-word pane under its `cbAdd` strip, and the options pane.
// It lays the three panes out; the window talks to each pane directly.
class WorkArea final : public QFrame {
    Q_OBJECT
public:
    WorkArea(DialogService& dialogs, QWidget* parent = nullptr);

    KeywordPane* keywordPane() const { return Panel5; }
    AdditionalWordPane* additionalWordPane() const { return additional; }
    OptionsPane* optionsPane() const { return options; }

    int keywordPaneWidth() const;
    void setKeywordPaneWidth(int width);
    int combinations() const;
    bool additionalWordsOn() const;

    // The area's own keys in the settings file: "Combinations" and "AdditiveName".
    void applySettings(const WorkspaceSettings& s);
    void storeSettings(WorkspaceSettings& s) const;

    // Calls `changed` whenever something the names of a search are made from changes: a keyword
    // or its check mark, an additional word or its flags, combinations, the additional-words
    // box, or an option of the options pane; until `receiver` goes, which must be before the
    // area does (the lists announce their emptying while they are destroyed).
    void watchSearchInput(QObject* receiver, const std::function<void()>& changed);

private:
    void addCombinationField();
    QFrame* additionalFrame(DialogService& dialogs);

    KeywordPane* Panel5;
    QLabel* Label5;
    QLineEdit* Edit1;
    UpDown* udComb;
    QSplitter* Splitter2;
    QFrame* Panel7;
    QCheckBox* cbAdd;
    AdditionalWordPane* additional;
    OptionsPane* options;
};

} // namespace zendrel
