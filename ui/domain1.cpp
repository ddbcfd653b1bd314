#include "ui/domain1.h"

#include "engine/LookupOutcome.h"
#include "engine/LookupReport.h"
#include "engine/ResultExport.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "ui/AdditionalWordPane.h"
#include "ui/DialogService.h"
#include "ui/FirstWindowSize.h"
#include "ui/HelpWindow.h"
#include "ui/KeywordPane.h"
#include "ui/Latin1.h"
#include "ui/LowerPane.h"
#include "ui/NameCountPreview.h"
#include "ui/OptionsPane.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"
#include "ui/ResumeExportPane.h"
#include "ui/RuleTester.h"
#include "ui/RunProgress.h"
#include "ui/RunStatusBar.h"
#include "ui/TopBar.h"
#include "ui/WorkArea.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>
#include <cstdio>
#include <optional>

namespace zendrel {

namespace {
constexpr int kClientWidth = 746;
constexpr int kClientHeight = 394;
constexpr int kLowerPaneHeight = 193;
const char* const kTextFilter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*";
const char* const kCloseUnsavedQuestion =
    "\n\nWhat could not be saved is lost if Zendrel closes now. Close anyway?";

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
    // The tester's fetch reads the window's settings: it goes while they are all there.
    delete tester_;
    tester_ = nullptr;
    // The model watches the row store, which goes before the window's child widgets do.
    resultsView_->setModel(nullptr);
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
    keywords_ = work_->keywordPane();
    additional_ = work_->additionalWordPane();
    options_ = work_->optionsPane();
    resultsView_ = lower_->resultsView();
    resumeExport_ = lower_->resumeExportPane();
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top_);
    layout->addWidget(Splitter1, 1);
    setCentralWidget(central);
    status_ = new RunStatusBar(this);
    setStatusBar(status_);
    resize(kClientWidth, kClientHeight);
    setLowerPaneHeight(kLowerPaneHeight);

    model_ = new ResultsModel(session_.rows(), this);
    resultsView_->setResultsModel(model_);
}

void T_FDomain::connectHandlers() {
    connect(top_, &TopBar::searchClicked, this, &T_FDomain::sbSearchClick);
    connect(top_, &TopBar::stopClicked, this, &T_FDomain::sbStopClick);
    connect(top_, &TopBar::exitClicked, this, &T_FDomain::ExplorerButton1Click);
    connect(resumeExport_, &ResumeExportPane::resumeClicked, this, &T_FDomain::sbResumeClick);
    connect(resumeExport_, &ResumeExportPane::saveResultsClicked, this,
            &T_FDomain::SpeedButton10Click);
    connect(resultsView_, &ResultsView::headerClicked, this, &T_FDomain::lvResultColumnClick);
    // A Save button records the new path at once; the pane shows what goes wrong.
    keywords_->setSaveSettings([this] { SaveSettings(); });
    additional_->setSaveSettings([this] { SaveSettings(); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, &T_FDomain::showHelp);
    // Also from inside the tester: pressing it again there reads an edited method table.
    auto* rules = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    rules->setContext(Qt::ApplicationShortcut);
    connect(rules, &QShortcut::activated, this, &T_FDomain::showRuleTester);
    connect(status_, &RunStatusBar::ruleTesterClicked, this, &T_FDomain::showRuleTester);

    countPreview_ = std::make_unique<NameCountPreview>([this] { return searchInput(); });
    connect(countPreview_.get(), &NameCountPreview::counted, status_, &RunStatusBar::showNameCount);
    NameCountPreview* preview = countPreview_.get();
    work_->watchSearchInput(preview, [preview] { preview->inputChanged(); });
    countPreview_->inputChanged();
    progress_ = std::make_unique<RunProgress>(session_, loop_, *status_);
    session_.addListener(*progress_);
}

void T_FDomain::FormCreate() {
    // The layout's zones start checked; the zone table replaces them while the settings load.
    options_->setAllZonesChecked(true);
    settingsPath_ = folder_ + "param.txt";
    keywords_->setPath(folder_ + "default.txt");
    additional_->setPath(folder_ + "add.txt");
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

void T_FDomain::placeFirstWindow() {
    // A window that opens maximized still needs a size for when the user restores it.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(
            FirstWindowGeometry(screen->availableGeometry(), QSize(kClientWidth, kClientHeight)));
}

void T_FDomain::showRuleTester() {
    if (!tester_)
        tester_ = new RuleTester(
            loop_, dialogs_, *this, folder_,
            [this]() -> const ZoneTable& { return session_.zones(); }, this);
    tester_->reloadMethods();
    tester_->show();
    tester_->raise();
    tester_->activateWindow();
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
    top_->setRunButtons(search, stop);
    resumeExport_->setResumeEnabled(resume);
    progress_->runButtonsBusy(!search);
}

void T_FDomain::setProgressVisible(bool shown) {
    top_->setProgressVisible(shown);
}

void T_FDomain::setProgressMaximum(int maximum) {
    top_->setProgressMaximum(maximum);
}

void T_FDomain::setProgressPosition(int position) {
    top_->setProgressPosition(position);
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

void T_FDomain::lookupEnded(std::size_t row, const LookupOutcome& outcome) {
    if (outcome.detail.empty())
        return;
    if (std::optional<std::string> why = WhyNoAnswer(outcome))
        std::fprintf(stderr, "zendrel: %s: %s\n", std::string(session_.rows().caption(row)).c_str(),
                     why->c_str());
}

void T_FDomain::setResumeCaption(const std::string& caption) {
    resumeExport_->setResumeCaption(toQ(caption));
}

// ---------------------------------------------------------------- RunSettings

int T_FDomain::linkLimit() const {
    return options_->linkLimit();
}

int T_FDomain::timeLimit() const {
    return options_->timeLimit();
}

bool T_FDomain::autoResume() const {
    return resumeExport_->autoResume();
}

int T_FDomain::autoResumeLimit() const {
    return resumeExport_->autoResumeLimit();
}

bool T_FDomain::deleteUnavailable() const {
    return resumeExport_->deleteUnavailable();
}

ConnectionSettings T_FDomain::connectionSettings() const {
    return resumeExport_->connectionSettings();
}

bool T_FDomain::dnsFirst() const {
    return options_->dnsFirst();
}

// ---------------------------------------------------------------- handlers

SearchInput T_FDomain::searchInput() const {
    SearchInput in;
    for (const KeywordEntry& k : keywords_->entries())
        if (k.checked)
            in.keywords.push_back(k.text);
    in.combinations = work_->combinations();
    in.useAdditional = work_->additionalWordsOn();
    for (const AdditionalRow& r : additional_->rows())
        in.additionalRows.push_back({r.first, r.last, r.word});
    in.useHyphens = options_->useHyphens();
    in.hyphens = options_->hyphens();
    in.zones = options_->checkedZones();
    in.maxLength = options_->maxLength();
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
    try {
        SaveResults(session_.rows(), resumeExport_->exportFilter(),
                    QFile::encodeName(*chosen).toStdString());
    } catch (const std::exception& e) {
        reportError(QString::fromLocal8Bit(e.what()));
    }
}

bool T_FDomain::FormCloseQuery() {
    // A running search ends first (connections aborted, end-of-run step, summary).
    session_.close();
    QString failure;
    try {
        SaveSettings();
        return true;
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    } catch (...) {
        failure = QStringLiteral("The word lists and settings could not be saved.");
    }
    // Edits are never lost unnoticed: the user may keep the window open (and save the word
    // lists elsewhere through their Save buttons) or close knowing what is lost.
    return dialogs_.askYesNo(this, failure + QString::fromLatin1(kCloseUnsavedQuestion),
                             QStringLiteral("Attention"));
}

void T_FDomain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

} // namespace zendrel
