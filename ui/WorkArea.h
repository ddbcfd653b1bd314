#pragma once

#include <QFrame>

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

// The middle of the window: the keyword pane with the combinations field in its tool row, the
// splitter that sizes it, the additional-word pane under its `cbAdd` strip, and the options pane.
class WorkArea final : public QFrame {
    Q_OBJECT
public:
    WorkArea(DialogService& dialogs, QWidget* parent = nullptr);

    int keywordPaneWidth() const;
    void setKeywordPaneWidth(int width);

    KeywordPane* Panel5;
    QLabel* Label5;
    QLineEdit* Edit1;
    UpDown* udComb;
    QSplitter* Splitter2;
    QFrame* Panel7;
    QCheckBox* cbAdd;
    AdditionalWordPane* additional;
    OptionsPane* options;

private:
    void addCombinationField();
    QFrame* additionalFrame(DialogService& dialogs);
};

} // namespace zendrel
