// The window's side of "param.txt": which control each stored key belongs to, and the order in
// which start-up loads the tables, the settings and the word lists. The file format itself and
// the meaning of missing or bad values live with WorkspaceSettings.
#include "engine/WorkspaceSettings.h"
#include "ui/AdditionalWordPane.h"
#include "ui/DialogService.h"
#include "ui/KeywordPane.h"
#include "ui/Latin1.h"
#include "ui/OptionsPane.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"
#include "ui/ResumeExportPane.h"
#include "ui/WorkArea.h"
#include "ui/domain1.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace zendrel {

namespace {

QString joinKeys(const std::vector<std::string>& keys) {
    QStringList names;
    for (const std::string& key : keys)
        names << toQ(key);
    return names.join(QStringLiteral(", "));
}

// Runs steps that must all be tried, keeping the first failure to throw once they are done.
class EveryStep {
public:
    template <typename Step>
    void run(const Step& step) {
        try {
            step();
        } catch (...) {
            if (!first_)
                first_ = std::current_exception();
        }
    }
    void rethrowFirst() const {
        if (first_)
            std::rethrow_exception(first_);
    }

private:
    std::exception_ptr first_;
};

} // namespace

void T_FDomain::LoadSettings() {
    // The word lists load even when an earlier step fails: a list left unloaded would be saved
    // empty over its file at close.
    EveryStep steps;
    std::vector<std::string> skipped;
    std::vector<ZoneLineProblem> ignoredOptions;
    steps.run([this, &ignoredOptions] {
        ZoneTable zones;
        LoadZoneTable(folder_, zones);
        ignoredOptions = zones.problems();
        options_->setZones(zones.zoneNames(), false);
        session_.setZoneTable(std::move(zones));
    });
    steps.run([this, &skipped] {
        const WorkspaceSettings s = ReadWorkspaceSettings(settingsPath_, folder_);
        applySettings(s);
        skipped = s.skippedKeys;
    });
    steps.run([this] { keywords_->LoadKeywords(); });
    steps.run([this] { additional_->LoadAdditionalWords(); });
    steps.run([this] {
        MethodTable methods;
        LoadMethodTable(folder_, methods);
        QStringList captions;
        for (const std::string& caption : methods.extraColumnCaptions())
            captions << toQ(caption);
        session_.setMethodTable(std::move(methods));
        model_->setExtraColumns(captions);
    });
    reportStartProblems(skipped, ignoredOptions);
    steps.rethrowFirst();
}

void T_FDomain::applySettings(const WorkspaceSettings& s) {
    keywords_->applySettings(s);
    additional_->applySettings(s);
    work_->applySettings(s);
    options_->applySettings(s);
    resumeExport_->applySettings(s);
    applyPlacement(s.main);
    applyPaneSizes(s.param);
    // Kept as read: the window has no control for them.
    dnsServers_ = s.dnsServers;
    zendrelSection_ = s.zendrelSection;
}

void T_FDomain::applyPlacement(const std::string& main) {
    const std::optional<std::vector<int>> fields = ReadSizeList(main);
    if (!fields || fields->empty()) {
        placeFirstWindow();
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMaximized);
    const std::vector<int>& f = *fields;
    const QPoint at(f[0], f.size() > 1 ? f[1] : y());
    move(at);
    if (f.size() > 2)
        resize(f[2], f.size() > 3 ? f[3] : height());
    keepOnScreen();
}

void T_FDomain::keepOnScreen() {
    // A placement stored on a monitor that is gone would open the window where nobody sees it.
    const QRect placed(pos(), size());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(placed))
            return;
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        move(primary->availableGeometry().topLeft());
}

void T_FDomain::applyPaneSizes(const std::string& param) {
    const std::optional<std::vector<int>> fields = ReadSizeList(param);
    if (!fields)
        return;
    const std::vector<int>& f = *fields;
    storedPaneSizes_.assign(
        f.begin(), f.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(f.size(), 2)));
    applyStoredPaneSizes();
    for (std::size_t c = 2; c < f.size() && c < 5; ++c)
        resultsView_->setPreferredWidth(static_cast<int>(c - 2), f[c]);
}

void T_FDomain::applyStoredPaneSizes() {
    if (storedPaneSizes_.size() > 0)
        work_->setKeywordPaneWidth(std::max(storedPaneSizes_[0], 0));
    if (storedPaneSizes_.size() > 1)
        setLowerPaneHeight(std::max(storedPaneSizes_[1], 0));
}

void T_FDomain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (storedPaneSizes_.empty())
        return;
    // Splitters share out their space afresh when they first get their real size, so the
    // stored sizes are set again once the window has been laid out at its shown size.
    QTimer::singleShot(0, this, [this] {
        applyStoredPaneSizes();
        storedPaneSizes_.clear();
    });
}

void T_FDomain::reportStartProblems(const std::vector<std::string>& keys,
                                    const std::vector<ZoneLineProblem>& ignoredOptions) {
    QStringList parts;
    if (!keys.empty())
        parts << QStringLiteral("Some values in %1 could not be used; their defaults apply "
                                "instead: %2")
                     .arg(QFile::decodeName(QByteArray::fromStdString(settingsPath_)),
                          joinKeys(keys));
    for (const ZoneLineProblem& problem : ignoredOptions)
        parts << toQ(DescribeZoneLineProblem(problem));
    if (parts.isEmpty())
        return;
    const QString text = parts.join(QStringLiteral("\n"));
    // Shown once the window is up, so the message does not stand in for the window itself.
    QTimer::singleShot(0, this, [this, text] {
        dialogs_.showMessage(this, text, QStringLiteral("Attention"), DialogService::Icon::Warning);
    });
}

WorkspaceSettings T_FDomain::currentSettings() const {
    WorkspaceSettings s;
    keywords_->storeSettings(s);
    additional_->storeSettings(s);
    work_->storeSettings(s);
    options_->storeSettings(s);
    resumeExport_->storeSettings(s);
    s.main = placementText();
    s.param = paneSizesText();
    s.dnsServers = dnsServers_;
    s.zendrelSection = zendrelSection_;
    return s;
}

std::string T_FDomain::placementText() const {
    // A maximized window keeps no placement, so it opens maximized again.
    if (windowState() & Qt::WindowMaximized)
        return {};
    return QStringLiteral("%1,%2,%3,%4").arg(x()).arg(y()).arg(width()).arg(height()).toStdString();
}

std::string T_FDomain::paneSizesText() const {
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(work_->keywordPaneWidth())
        .arg(lowerPaneHeight())
        .arg(resultsView_->preferredWidth(0))
        .arg(resultsView_->preferredWidth(1))
        .arg(resultsView_->preferredWidth(2))
        .toStdString();
}

void T_FDomain::SaveSettings() {
    // Each file is tried even when one before it fails: a word list on a vanished drive must not
    // also cost the user every option of the settings file.
    EveryStep steps;
    steps.run([this] { keywords_->SaveKeywords(); });
    steps.run([this] { additional_->SaveAdditionalWords(); });
    steps.run([this] { WriteWorkspaceSettings(settingsPath_, currentSettings()); });
    steps.rethrowFirst();
}

} // namespace zendrel
