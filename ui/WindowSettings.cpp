// The window's side of "param.txt": which control each stored key belongs to, and the order in
// which start-up loads the tables, the settings and the word lists. The file format itself and
// the meaning of missing or bad values live with WorkspaceSettings.
#include "engine/WorkspaceSettings.h"
#include "lookup/SplitFields.h"
#include "ui/AdditionalWordPane.h"
#include "ui/DialogService.h"
#include "ui/KeywordPane.h"
#include "ui/Latin1.h"
#include "ui/LowerPane.h"
#include "ui/OptionsPane.h"
#include "ui/ProxyGrid.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"
#include "ui/ResumeExportPane.h"
#include "ui/UpDown.h"
#include "ui/WorkArea.h"
#include "ui/ZoneCheckList.h"
#include "ui/domain1.h"

#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace zendrel {

namespace {

// A grid column narrower than this could no longer be grabbed to widen it again.
constexpr int kMinColumnWidth = 10;
constexpr int kMaxColumnWidth = 32767;

int columnWidth(int stored) {
    return std::clamp(stored, kMinColumnWidth, kMaxColumnWidth);
}

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
        work_->options->clbDom->setZones(zones.zoneNames());
        work_->options->clbDom->setAllChecked(false);
        session_.setZoneTable(std::move(zones));
    });
    steps.run([this, &skipped] {
        const WorkspaceSettings s = ReadWorkspaceSettings(settingsPath_, folder_);
        applySettings(s);
        skipped = s.skippedKeys;
    });
    steps.run([this] { work_->Panel5->LoadKeywords(); });
    steps.run([this] { work_->additional->LoadAdditionalWords(); });
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
    WorkArea* w = work_;
    OptionsPane* o = w->options;
    ResumeExportPane* side = lower_->side;
    w->Panel5->setPath(s.fileNameDomain);
    w->additional->setPath(s.fileAddDomain);
    w->udComb->setPosition(s.combinations);
    w->cbAdd->setChecked(s.additiveName);
    o->cbHyphens->setChecked(s.hyphens);
    o->udHyphens->setPosition(s.countHyphens);
    for (int i = 0; i < o->clbDom->count(); ++i)
        o->clbDom->setChecked(i, ZoneCheckedInDom(s.dom, static_cast<std::size_t>(i)));
    applyPlacement(s.main);
    applyPaneSizes(s.param);
    o->udLink->setPosition(s.links);
    o->udTime->setPosition(s.timeOut);
    side->cbDel->setChecked(s.deleteUnavailable);
    for (auto [column, on] : {std::pair{0, s.firstAdd}, std::pair{1, s.lastAdd}}) {
        if (on)
            w->additional->setHeaderText(column, "1" + w->additional->headerText(column));
    }
    side->cbFree->setChecked(s.available);
    side->cbNot->setChecked(s.notAvailable);
    side->cbHold->setChecked(s.hold);
    side->cbDNO->setChecked(s.dnOnly);
    o->udMax->setPosition(s.maxLength);
    o->cbDnsFirst->setChecked(s.dnsFirst);
    dnsServers_ = s.dnsServers;
    zendrelSection_ = s.zendrelSection;
    for (int i = 0; i < ProxyGrid::kSettings; ++i)
        side->sgProxy->setValue(i, toQ(s.connection[static_cast<std::size_t>(i)]));
    side->sgProxy->setColumnWidth(0, columnWidth(s.sgProxy0));
    side->sgProxy->setColumnWidth(1, columnWidth(s.sgProxy1));
    side->cbAll->setChecked(s.saveAll);
    side->cbResume->setChecked(s.autoResume);
    side->udAR->setPosition(s.resume);
}

void T_FDomain::applyPlacement(const std::string& main) {
    const std::optional<std::vector<int>> fields = ReadSizeList(main);
    if (!fields || fields->empty()) {
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
        lower_->lvResult->setPreferredWidth(static_cast<int>(c - 2), f[c]);
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
    const WorkArea* w = work_;
    const OptionsPane* o = w->options;
    const ResumeExportPane* side = lower_->side;
    WorkspaceSettings s;
    s.fileNameDomain = w->Panel5->path();
    s.fileAddDomain = w->additional->path();
    s.combinations = w->udComb->position();
    s.additiveName = w->cbAdd->isChecked();
    s.hyphens = o->cbHyphens->isChecked();
    s.countHyphens = o->udHyphens->position();
    s.dom.clear();
    for (int i = 0; i < o->clbDom->count(); ++i)
        s.dom += o->clbDom->isChecked(i) ? '+' : '-';
    // A maximized window keeps no placement, so it opens maximized again.
    s.main = (windowState() & Qt::WindowMaximized) ? std::string()
                                                   : QStringLiteral("%1,%2,%3,%4")
                                                         .arg(x())
                                                         .arg(y())
                                                         .arg(width())
                                                         .arg(height())
                                                         .toStdString();
    const ResultsView* view = lower_->lvResult;
    s.param = QStringLiteral("%1,%2,%3,%4,%5")
                  .arg(w->keywordPaneWidth())
                  .arg(lowerPaneHeight())
                  .arg(view->preferredWidth(0))
                  .arg(view->preferredWidth(1))
                  .arg(view->preferredWidth(2))
                  .toStdString();
    s.links = o->udLink->position();
    s.timeOut = o->udTime->position();
    s.deleteUnavailable = side->cbDel->isChecked();
    s.firstAdd = w->additional->headerText(0).startsWith(QLatin1Char('1'));
    s.lastAdd = w->additional->headerText(1).startsWith(QLatin1Char('1'));
    s.available = side->cbFree->isChecked();
    s.notAvailable = side->cbNot->isChecked();
    s.hold = side->cbHold->isChecked();
    s.dnOnly = side->cbDNO->isChecked();
    s.maxLength = o->udMax->position();
    for (int i = 0; i < ProxyGrid::kSettings; ++i)
        s.connection[static_cast<std::size_t>(i)] = fromQ(side->sgProxy->value(i));
    s.sgProxy0 = side->sgProxy->columnWidth(0);
    s.sgProxy1 = side->sgProxy->columnWidth(1);
    s.saveAll = side->cbAll->isChecked();
    s.autoResume = side->cbResume->isChecked();
    s.resume = side->udAR->position();
    s.dnsFirst = o->cbDnsFirst->isChecked();
    s.dnsServers = dnsServers_;
    s.zendrelSection = zendrelSection_;
    return s;
}

void T_FDomain::SaveSettings() {
    // Each file is tried even when one before it fails: a word list on a vanished drive must not
    // also cost the user every option of the settings file.
    EveryStep steps;
    steps.run([this] { work_->Panel5->SaveKeywords(); });
    steps.run([this] { work_->additional->SaveAdditionalWords(); });
    steps.run([this] { WriteWorkspaceSettings(settingsPath_, currentSettings()); });
    steps.rethrowFirst();
}

} // namespace zendrel
