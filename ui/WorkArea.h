#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QVBoxLayout;

namespace zendrel {

class OptionsPane;
class UpDown;

// The middle of the window: keyword pane, the splitter that sizes it, the additional-word pane
// and the options pane. The two word panes are plugged in by the window.
class WorkArea final : public QFrame {
    Q_OBJECT
public:
    explicit WorkArea(QWidget* parent = nullptr);

    // Puts `pane` (the keyword list with its tool row) below the keyword title strip.
    void setKeywordPane(QWidget* pane);
    // Puts `pane` (tool row and grid) below the strip holding `cbAdd`.
    void setAdditionalWordPane(QWidget* pane);
    int keywordPaneWidth() const;
    void setKeywordPaneWidth(int width);

    QFrame* Panel5;
    QLabel* Label2;
    QLabel* Label5;
    QLineEdit* Edit1;
    UpDown* udComb;
    QSplitter* Splitter2;
    QFrame* Panel7;
    QCheckBox* cbAdd;
    OptionsPane* options;

private:
    QFrame* keywordFrame();
    QFrame* additionalFrame();
    static void replaceLast(QVBoxLayout* layout, QWidget* pane);

    QVBoxLayout* keywordLayout_;
    QVBoxLayout* additionalLayout_;
};

} // namespace zendrel
