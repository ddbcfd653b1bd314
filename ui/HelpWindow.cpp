#include "ui/HelpWindow.h"

#include "platform/Files.h"
#include "ui/Latin1.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace zendrel {

namespace {
const char* const kBuiltInHelp =
    "<h2>Zendrel</h2>"
    "<p>Tick the keywords and zones to combine, set the options, and press <b>Search</b>. "
    "Each candidate name is looked up and shown as \"is available\", \"is not available\", "
    "\"hold\" or \"no data\".</p>"
    "<p><b>Stop</b> ends a search, <b>Resume</b> looks up the rows that are not ticked again, and "
    "<b>Save Results</b> writes the list to a text file with the chosen filters.</p>";
} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Zendrel Help"));
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(560, 420);
}

bool HelpWindow::showPage(const std::string& path) {
    std::string html;
    const bool read = ReadFileBytes(path, html);
    if (read) {
        browser_->setSearchPaths({toQ(path.substr(0, path.find_last_of('/') + 1))});
        browser_->setHtml(toQ(html));
    } else {
        browser_->setHtml(QString::fromLatin1(kBuiltInHelp));
    }
    return read;
}

QString HelpWindow::text() const {
    return browser_->toPlainText();
}

} // namespace zendrel
