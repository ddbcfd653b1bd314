#include "ui/domain1.h"

#include "engine/ResultExport.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "ui/AdditionalWordPane.h"
#include "ui/DialogService.h"
#include "ui/HelpWindow.h"
#include "ui/KeywordPane.h"
#include "ui/Latin1.h"
#include "ui/LowerPane.h"
#include "ui/OptionsPane.h"
#include "ui/ProxyGrid.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"
#include "ui/ResumeExportPane.h"
#include "ui/TopBar.h"
#include "ui/UpDown.h"
#include "ui/WorkArea.h"
#include "ui/ZoneCheckList.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QProgressBar>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace zendrel {

namespace {
constexpr int kClientWidth = 746;
constexpr int kClientHeight = 394;
constexpr int kLowerPaneHeight = 193;
const char* const kTextFilter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*";

DialogService::Icon dialogIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return DialogService::Icon::Error;
    case MessageIcon::Question:
        return DialogService::Icon::Question;
    case MessageIcon::Information:
        break;
    }
    return DialogService::Icon::Information;
}
} // namespace

T_FDomain::T_FDomain(MessageLoop& loop, DialogService& dialogs, std::string folder, QWidget* parent)
    : QMainWindow(parent), loop_(loop), dialogs_(dialogs), folder_(std::move(folder)),
      session_(loop, *this, *this) {
    session_.addListener(*this);
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

T_FDomain::~T_FDomain() {
    // The model watches the row store, which goes before the window's child widgets do.
    lower_->lvResult->setModel(nullptr);
    delete model_;
    model_ = nullptr;
    while (busy_ > 0) {
        --busy_;
        QApplication::restoreOverrideCursor();
    }
}

void T_FDomain::buildRegions() {
    auto* central = new QWidget(this);
    top_ = new TopBar(central);
    work_ = new WorkArea(dialogs_, central);
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

    model_ = new ResultsModel(session_.rows(), this);
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
    // A Save button records the new path at once; the pane shows what goes wrong.
    work_->Panel5->setSaveSettings([this] { SaveSettings(); });
    work_->additional->setSaveSettings([this] { SaveSettings(); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, &T_FDomain::showHelp);
}

void T_FDomain::FormCreate() {
    // The layout's zones start checked; the zone table replaces them while the settings load.
    work_->options->clbDom->setAllChecked(true);
    settingsPath_ = folder_ + "param.txt";
    work_->Panel5->setPath(folder_ + "default.txt");
    work_->additional->setPath(folder_ + "add.txt");
    try {
        LoadSettings();
    } catch (const std::exception& e) {
        // The window opens with whatever was loaded before the failure.
        reportError(QString::fromLocal8Bit(e.what()));
    }
}

void T_FDomain::reportError(const QString& text) {
    dialogs_.showMessage(this, text, QStringLiteral("Error"), DialogService::Icon::Error);
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

// ---------------------------------------------------------------- SearchWindow

void T_FDomain::setRunButtons(bool search, bool stop, bool resume) {
    top_->sbSearch->setEnabled(search);
    top_->sbStop->setEnabled(stop);
    lower_->side->sbResume->setEnabled(resume);
}

void T_FDomain::setProgressVisible(bool shown) {
    top_->pbar->setVisible(shown);
}

void T_FDomain::setProgressMaximum(int maximum) {
    top_->pbar->setMaximum(maximum);
}

void T_FDomain::setProgressPosition(int position) {
    top_->pbar->setValue(position);
}

void T_FDomain::setBusyCursor(bool busy) {
    if (busy) {
        ++busy_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_ > 0) {
        --busy_;
        QApplication::restoreOverrideCursor();
    }
}

void T_FDomain::showMessage(const UserMessage& m) {
    dialogs_.showMessage(this, toQ(m.text), toQ(m.caption), dialogIcon(m.icon));
}

void T_FDomain::noZoneChecked() {
    showMessage(kNoZoneMessage);
}

void T_FDomain::runFinished(RunEnd) {
    showMessage(kRunSummaryMessage);
}

void T_FDomain::setResumeCaption(const std::string& caption) {
    lower_->side->sbResume->setText(toQ(caption));
}

// ---------------------------------------------------------------- RunSettings

int T_FDomain::linkLimit() const {
    return work_->options->udLink->position();
}

int T_FDomain::timeLimit() const {
    return work_->options->udTime->position();
}

bool T_FDomain::autoResume() const {
    return lower_->side->cbResume->isChecked();
}

int T_FDomain::autoResumeLimit() const {
    return lower_->side->udAR->position();
}

bool T_FDomain::deleteUnavailable() const {
    return lower_->side->cbDel->isChecked();
}

ConnectionSettings T_FDomain::connectionSettings() const {
    return lower_->side->sgProxy->settings();
}

bool T_FDomain::dnsFirst() const {
    return work_->options->cbDnsFirst->isChecked();
}

// ---------------------------------------------------------------- handlers

SearchInput T_FDomain::searchInput() const {
    SearchInput in;
    for (const KeywordEntry& k : work_->Panel5->entries())
        if (k.checked)
            in.keywords.push_back(k.text);
    in.combinations = work_->udComb->position();
    in.useAdditional = work_->cbAdd->isChecked();
    for (const AdditionalRow& r : work_->additional->rows())
        in.additionalRows.push_back({r.first, r.last, r.word});
    const OptionsPane* o = work_->options;
    in.useHyphens = o->cbHyphens->isChecked();
    in.hyphens = o->udHyphens->position();
    in.zones = o->clbDom->checkedZones();
    in.maxLength = o->udMax->position();
    return in;
}

void T_FDomain::sbSearchClick() {
    session_.search(searchInput());
}

void T_FDomain::sbStopClick() {
    session_.stop();
}

void T_FDomain::sbResumeClick() {
    session_.resume();
}

void T_FDomain::ExplorerButton1Click() {
    close();
}

void T_FDomain::lvResultColumnClick(int column) {
    session_.headerClick(column);
}

void T_FDomain::SpeedButton10Click() {
    // Paths are file-system names, not text: they go through the file-name encoding.
    const QString folder = QFile::decodeName(QByteArray::fromStdString(folder_));
    const std::optional<QString> chosen = dialogs_.saveFileName(
        this, QString::fromLatin1(kTextFilter), folder + QStringLiteral("*.txt"), folder);
    if (!chosen)
        return;
    const ResumeExportPane* side = lower_->side;
    ExportFilter filter;
    filter.available = side->cbFree->isChecked();
    filter.hold = side->cbHold->isChecked();
    filter.notAvailable = side->cbNot->isChecked();
    filter.all = side->cbAll->isChecked();
    filter.domainOnly = side->cbDNO->isChecked();
    try {
        SaveResults(session_.rows(), filter, QFile::encodeName(*chosen).toStdString());
    } catch (const std::exception& e) {
        reportError(QString::fromLocal8Bit(e.what()));
    }
}

bool T_FDomain::FormCloseQuery() {
    // A running search ends first (connections aborted, end-of-run step, summary).
    session_.close();
    try {
        SaveSettings();
    } catch (...) {
        // The program must always end; a file that cannot be written is not worth a stuck window.
    }
    return true;
}

void T_FDomain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

} // namespace zendrel
