#include "ui/domain1.h"

#include "platform/MessageLoop.h"
#include "ui/DialogService.h"
#include "ui/HelpWindow.h"
#include "ui/Latin1.h"
#include "ui/LowerPane.h"
#include "ui/OptionsPane.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"
#include "ui/ResumeExportPane.h"
#include "ui/TopBar.h"
#include "ui/WorkArea.h"
#include "ui/ZoneCheckList.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace zendrel {

namespace {
constexpr int kClientWidth = 746;
constexpr int kClientHeight = 394;
constexpr int kLowerPaneHeight = 193;
} // namespace

T_FDomain::T_FDomain(MessageLoop& loop, DialogService& dialogs, std::string folder, QWidget* parent)
    : QMainWindow(parent), loop_(loop), dialogs_(dialogs), folder_(std::move(folder)) {
    setObjectName(QStringLiteral("T_FDomain"));
    setWindowTitle(QStringLiteral("Zendrel 2.10"));
    // The layout was drawn for an 8-point dialog font; larger system fonts would cut captions.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    buildRegions();
    connectHandlers();
    FormCreate();
}

T_FDomain::~T_FDomain() = default;

void T_FDomain::buildRegions() {
    auto* central = new QWidget(this);
    top_ = new TopBar(central);
    work_ = new WorkArea(central);
    lower_ = new LowerPane(central);
    Splitter1 = new QSplitter(Qt::Vertical, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(2);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStyleSheet(QStringLiteral("QSplitter::handle { background: silver; }"));
    Splitter1->addWidget(work_);
    Splitter1->addWidget(lower_);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top_);
    layout->addWidget(Splitter1, 1);
    setCentralWidget(central);
    resize(kClientWidth, kClientHeight);
    setLowerPaneHeight(kLowerPaneHeight);

    model_ = new ResultsModel(store_, this);
    lower_->lvResult->setResultsModel(model_);
}

void T_FDomain::connectHandlers() {
    connect(top_->sbSearch, &QToolButton::clicked, this, &T_FDomain::sbSearchClick);
    connect(top_->sbStop, &QToolButton::clicked, this, &T_FDomain::sbStopClick);
    connect(top_->ExplorerButton1, &QToolButton::clicked, this, &T_FDomain::ExplorerButton1Click);
    ResumeExportPane* side = lower_->side;
    connect(side->sbResume, &QToolButton::clicked, this, &T_FDomain::sbResumeClick);
    connect(side->SpeedButton10, &QToolButton::clicked, this, &T_FDomain::SpeedButton10Click);
    connect(lower_->lvResult->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &T_FDomain::lvResultColumnClick);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, &T_FDomain::showHelp);
}

void T_FDomain::FormCreate() {
    work_->options->clbDom->setAllChecked(true);
    try {
        loadTables();
    } catch (const std::exception& e) {
        // The window opens with whatever was loaded before the failure.
        reportError(toQ(e.what()));
    }
}

void T_FDomain::loadTables() {}

void T_FDomain::reportError(const QString& text) {
    dialogs_.showMessage(this, text, QStringLiteral("Error"), DialogService::Icon::Error);
}

void T_FDomain::setRunControls(RunControls state) {
    const bool idle = state == RunControls::Idle;
    top_->sbSearch->setEnabled(idle);
    top_->sbStop->setEnabled(!idle);
    lower_->side->sbResume->setEnabled(idle);
}

int T_FDomain::lowerPaneHeight() const {
    return Splitter1->sizes().value(1);
}

void T_FDomain::setLowerPaneHeight(int height) {
    const QList<int> sizes = Splitter1->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), height + 1);
    Splitter1->setSizes({total - height, height});
}

void T_FDomain::showHelp() {
    if (!help_)
        help_ = new HelpWindow(this);
    help_->showPage(folder_ + "help.html");
    help_->show();
    help_->raise();
}

void T_FDomain::sbSearchClick() {
    if (work_->options->clbDom->checkedZones().empty()) {
        dialogs_.showMessage(this,
                             QStringLiteral("You must select domain type. For example \".com\""),
                             QStringLiteral("Attention"), DialogService::Icon::Error);
        setRunControls(RunControls::Idle);
        return;
    }
}

void T_FDomain::sbStopClick() {}

void T_FDomain::sbResumeClick() {}

void T_FDomain::ExplorerButton1Click() {
    close();
}

void T_FDomain::lvResultColumnClick(int column) {
    if (column != 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    headerToggle_ = (headerToggle_ + 1) % 2;
    store_.setAllChecked(headerToggle_ == 0);
    QApplication::restoreOverrideCursor();
}

void T_FDomain::SpeedButton10Click() {}

bool T_FDomain::FormCloseQuery() {
    return true;
}

void T_FDomain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

} // namespace zendrel
