#include "ui/ResumeExportPane.h"

#include "engine/WorkspaceSettings.h"
#include "ui/ProxyGrid.h"
#include "ui/UpDown.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace zendrel {

namespace {

QCheckBox* checkBox(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QCheckBox(caption, parent);
    b->setObjectName(name);
    return b;
}

QToolButton* wideButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setFixedWidth(175);
    return b;
}

} // namespace

ResumeExportPane::ResumeExportPane(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel10"));
    setFixedWidth(180);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(resumeBlock());
    layout->addWidget(exportBlock());
    cbDel = checkBox(QStringLiteral("cbDel"), QStringLiteral("Delete unavailable"), this);
    layout->addWidget(cbDel);
    sgProxy = new ProxyGrid(this);
    layout->addWidget(sgProxy, 1);
    connect(sbResume, &QToolButton::clicked, this, &ResumeExportPane::resumeClicked);
    connect(SpeedButton10, &QToolButton::clicked, this, &ResumeExportPane::saveResultsClicked);
}

QWidget* ResumeExportPane::resumeBlock() {
    auto* block = new QFrame(this);
    block->setObjectName(QStringLiteral("Panel18"));
    sbResume = wideButton(QStringLiteral("sbResume"), QStringLiteral("Resume"), block);
    cbResume = checkBox(QStringLiteral("cbResume"), QStringLiteral("Auto Resume"), block);
    eAR = new QLineEdit(block);
    eAR->setObjectName(QStringLiteral("eAR"));
    eAR->setFixedWidth(40);
    udAR = new UpDown(kResumeOption, block);
    udAR->setObjectName(QStringLiteral("udAR"));
    udAR->setBuddy(eAR);
    auto* grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    grid->addWidget(sbResume, 0, 0, 1, 3);
    grid->addWidget(cbResume, 1, 0);
    grid->addWidget(eAR, 1, 1);
    grid->addWidget(udAR, 1, 2);
    return block;
}

QWidget* ResumeExportPane::exportBlock() {
    auto* block = new QFrame(this);
    block->setObjectName(QStringLiteral("Panel19"));
    SpeedButton10 =
        wideButton(QStringLiteral("SpeedButton10"), QStringLiteral("Save Results"), block);
    cbFree = checkBox(QStringLiteral("cbFree"), QStringLiteral("is available"), block);
    cbHold = checkBox(QStringLiteral("cbHold"), QStringLiteral("hold"), block);
    cbNot = checkBox(QStringLiteral("cbNot"), QStringLiteral("is not available"), block);
    cbDNO = checkBox(QStringLiteral("cbDNO"), QStringLiteral("Domain Name only"), block);
    cbAll = checkBox(QStringLiteral("cbAll"), QStringLiteral("All"), block);
    auto* grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    grid->addWidget(SpeedButton10, 0, 0, 1, 2);
    grid->addWidget(cbFree, 1, 0);
    grid->addWidget(cbHold, 1, 1);
    grid->addWidget(cbNot, 2, 0);
    grid->addWidget(cbAll, 2, 1);
    grid->addWidget(cbDNO, 3, 0, 1, 2);
    return block;
}

void ResumeExportPane::setResumeEnabled(bool on) {
    sbResume->setEnabled(on);
}

void ResumeExportPane::setResumeCaption(const QString& caption) {
    sbResume->setText(caption);
}

bool ResumeExportPane::autoResume() const {
    return cbResume->isChecked();
}

int ResumeExportPane::autoResumeLimit() const {
    return udAR->position();
}

bool ResumeExportPane::deleteUnavailable() const {
    return cbDel->isChecked();
}

ExportFilter ResumeExportPane::exportFilter() const {
    ExportFilter f;
    f.available = cbFree->isChecked();
    f.hold = cbHold->isChecked();
    f.notAvailable = cbNot->isChecked();
    f.all = cbAll->isChecked();
    f.domainOnly = cbDNO->isChecked();
    return f;
}

ConnectionSettings ResumeExportPane::connectionSettings() const {
    return sgProxy->settings();
}

void ResumeExportPane::applySettings(const WorkspaceSettings& s) {
    cbDel->setChecked(s.deleteUnavailable);
    cbFree->setChecked(s.available);
    cbNot->setChecked(s.notAvailable);
    cbHold->setChecked(s.hold);
    cbDNO->setChecked(s.dnOnly);
    sgProxy->applySettings(s);
    cbAll->setChecked(s.saveAll);
    cbResume->setChecked(s.autoResume);
    udAR->setPosition(s.resume);
}

void ResumeExportPane::storeSettings(WorkspaceSettings& s) const {
    s.deleteUnavailable = cbDel->isChecked();
    s.available = cbFree->isChecked();
    s.notAvailable = cbNot->isChecked();
    s.hold = cbHold->isChecked();
    s.dnOnly = cbDNO->isChecked();
    sgProxy->storeSettings(s);
    s.saveAll = cbAll->isChecked();
    s.autoResume = cbResume->isChecked();
    s.resume = udAR->position();
}

} // namespace zendrel
