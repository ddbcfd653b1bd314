#pragma once

#include <QFrame>

namespace zendrel {

class ResultsView;
class ResumeExportPane;

// The pane below the horizontal splitter: the results list and, right of it, the resume,
// export and connection-settings column. It lays the two out; the window talks to each
// directly.
class LowerPane final : public QFrame {
    Q_OBJECT
public:
    explicit LowerPane(QWidget* parent = nullptr);

    ResultsView* resultsView() const { return lvResult; }
    ResumeExportPane* resumeExportPane() const { return side; }

private:
    ResultsView* lvResult;
    ResumeExportPane* side;
};

} // namespace zendrel
