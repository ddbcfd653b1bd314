#pragma once

#include <QDialog>
#include <string>

class QTextBrowser;

namespace zendrel {

// Shows the workspace's help page, or a short built-in text when the page cannot be read.
class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Loads the page at `path` (HTML); returns false when it could not be read.
    bool showPage(const std::string& path);
    QString text() const;

private:
    QTextBrowser* browser_;
};

} // namespace zendrel
