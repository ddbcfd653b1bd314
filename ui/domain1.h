#pragma once

#include "engine/RunSettings.h"
#include "engine/SearchInput.h"
#include "engine/SearchListener.h"
#include "engine/SearchMessages.h"
#include "engine/SearchSession.h"
#include "engine/SearchWindow.h"
#include "lookup/ZoneOptions.h"

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

class QSplitter;

namespace zendrel {

class AdditionalWordPane;
class DialogService;
class HelpWindow;
class KeywordPane;
class LowerPane;
class MessageLoop;
class NameCountPreview;
class OptionsPane;
class ResultsModel;
class ResultsView;
class ResumeExportPane;
class RuleTester;
class RunProgress;
class RunStatusBar;
class TopBar;
class WorkArea;
struct WorkspaceSettings;

// The main window: builds the regions, wires them to the search session and keeps the window's
// handlers. Each region keeps its controls to itself and offers typed values and actions; the
// work of a search runs on the message loop, and the window only starts, stops and shows it.
class T_FDomain final : public QMainWindow,
                        public SearchWindow,
                        public RunSettings,
                        private SearchListener {
    Q_OBJECT
public:
    // `folder` is the workspace (the program's folder, with a trailing '/').
    T_FDomain(MessageLoop& loop, DialogService& dialogs, std::string folder,
              QWidget* parent = nullptr);
    ~T_FDomain() override;

    SearchSession& session() { return session_; }
    ResultStore& results() { return session_.rows(); }
    ResultsModel* resultsModel() const { return model_; }
    WorkArea* workArea() const { return work_; }
    KeywordPane* keywordPane() const { return keywords_; }
    AdditionalWordPane* additionalWordPane() const { return additional_; }
    DialogService& dialogs() const { return dialogs_; }
    const std::string& folder() const { return folder_; }
    // The settings file, "param.txt" in the workspace folder.
    const std::string& settingsPath() const { return settingsPath_; }

    // SearchWindow
    void setRunButtons(bool search, bool stop, bool resume) override;
    void setProgressVisible(bool shown) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void setBusyCursor(bool busy) override;
    void setResumeCaption(const std::string& caption) override;

    // RunSettings: read from the controls whenever the run asks, so changes apply at once.
    int linkLimit() const override;
    int timeLimit() const override;
    bool autoResume() const override;
    int autoResumeLimit() const override;
    bool deleteUnavailable() const override;
    ConnectionSettings connectionSettings() const override;
    bool dnsFirst() const override;
    std::string dnsServers() const override { return dnsServers_; }

    int lowerPaneHeight() const;
    void setLowerPaneHeight(int height);
    // Opens (or raises) the help window on the workspace's "help.html".
    void showHelp();
    HelpWindow* helpWindow() const { return help_; }
    // Opens (or raises) the rule tester, which reads the workspace's "method.txt" again.
    void showRuleTester();
    RuleTester* ruleTester() const { return tester_; }
    RunStatusBar* runStatusBar() const { return status_; }
    NameCountPreview* countPreview() const { return countPreview_.get(); }
    RunProgress* runProgress() const { return progress_.get(); }

    // Loads the zone table, applies the settings file, loads both word lists from the stored
    // paths, loads the method table and adds the extra result columns, in that order.
    void LoadSettings();
    // Saves both word lists, then the settings file. Every step is tried; the first failure is
    // thrown afterwards (FileWriteError "Unable to write to <path>").
    void SaveSettings();

    void sbSearchClick();
    void sbStopClick();
    void sbResumeClick();
    void ExplorerButton1Click();
    void lvResultColumnClick(int column);
    void SpeedButton10Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // SearchListener: the messages a search shows.
    void noZoneChecked() override;
    void runFinished(RunEnd end) override;
    // A lookup that failed for a reason the row cannot show (a certificate, a proxy's tunnel) is
    // named on standard error, the window program's log.
    void lookupEnded(std::size_t row, const LookupOutcome& outcome) override;
    void showMessage(const UserMessage& message);

    void FormCreate();
    bool FormCloseQuery();
    void buildRegions();
    void connectHandlers();
    void applySettings(const WorkspaceSettings& s);
    void applyPlacement(const std::string& main);
    void placeFirstWindow();
    void keepOnScreen();
    void applyPaneSizes(const std::string& param);
    void applyStoredPaneSizes();
    WorkspaceSettings currentSettings() const;
    std::string placementText() const;
    std::string paneSizesText() const;
    // One message after start-up naming unusable settings and ignored zone-line options.
    void reportStartProblems(const std::vector<std::string>& keys,
                             const std::vector<ZoneLineProblem>& ignoredOptions);
    SearchInput searchInput() const;
    void reportError(const QString& text);

    MessageLoop& loop_;
    DialogService& dialogs_;
    std::string folder_;
    std::string settingsPath_;
    // Kept from the settings file as it was read: the window has no control for them.
    std::string dnsServers_;
    bool zendrelSection_ = false;
    std::vector<int> storedPaneSizes_; // until the window is first shown
    SearchSession session_;
    // Declared after the session they watch, so they go before it.
    std::unique_ptr<NameCountPreview> countPreview_;
    std::unique_ptr<RunProgress> progress_;
    int busy_ = 0;
    ResultsModel* model_ = nullptr;
    // The regions: laid out by the two containers and the splitter, talked to directly.
    TopBar* top_ = nullptr;
    WorkArea* work_ = nullptr;
    QSplitter* Splitter1 = nullptr;
    LowerPane* lower_ = nullptr;
    KeywordPane* keywords_ = nullptr;
    AdditionalWordPane* additional_ = nullptr;
    OptionsPane* options_ = nullptr;
    ResultsView* resultsView_ = nullptr;
    ResumeExportPane* resumeExport_ = nullptr;
    RunStatusBar* status_ = nullptr;
    HelpWindow* help_ = nullptr;
    RuleTester* tester_ = nullptr;
};

} // namespace zendrel
