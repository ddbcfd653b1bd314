#include "ui/OptionsPane.h"

#include "engine/WorkspaceSettings.h"
#include "ui/CheckAllBox.h"
#include "ui/ModelChanges.h"
#include "ui/TitleStrip.h"
#include "ui/UpDown.h"
#include "ui/ZoneCheckList.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zendrel {

namespace {

QLineEdit* numberEdit(const QString& name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setFixedWidth(34);
    return e;
}

UpDown* upDown(const QString& name, const RunOption& option, QLineEdit* edit, QWidget* parent) {
    auto* ud = new UpDown(option, parent);
    ud->setObjectName(name);
    ud->setBuddy(edit);
    return ud;
}

QLabel* label(const QString& name, const QString& caption, QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

void addRow(QGridLayout* grid, int row, QWidget* caption, QLineEdit* edit, UpDown* ud) {
    grid->addWidget(caption, row, 0);
    auto* pair = new QHBoxLayout;
    pair->setSpacing(0);
    pair->addWidget(edit);
    pair->addWidget(ud);
    grid->addLayout(pair, row, 1);
}

} // namespace

OptionsPane::OptionsPane(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel8"));
    setFixedWidth(186);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(optionBlock());
    layout->addWidget(zoneTitle());
    clbDom = new ZoneCheckList(this);
    clbDom->setZones({"com", "net", "org"});
    layout->addWidget(clbDom, 1);
}

void OptionsPane::watchSearchOptions(QObject* receiver, const std::function<void()>& changed) {
    connect(cbHyphens, &QCheckBox::toggled, receiver, changed);
    connect(udHyphens, &UpDown::positionChanged, receiver, changed);
    connect(udMax, &UpDown::positionChanged, receiver, changed);
    OnModelChange(clbDom->model(), receiver, changed);
}

QWidget* OptionsPane::optionBlock() {
    auto* block = new QFrame(this);
    block->setFrameShape(QFrame::Box);
    auto* grid = new QGridLayout(block);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(2);

    cbHyphens = new QCheckBox(QStringLiteral("Using Hyphens"), block);
    cbHyphens->setObjectName(QStringLiteral("cbHyphens"));
    Edit2 = numberEdit(QStringLiteral("Edit2"), block);
    Edit2->setReadOnly(true);
    udHyphens = upDown(QStringLiteral("udHyphens"), kHyphensOption, Edit2, block);
    addRow(grid, 0, cbHyphens, Edit2, udHyphens);

    Label6 = label(QStringLiteral("Label6"), QStringLiteral("Skip after"), block);
    Edit21 = numberEdit(QStringLiteral("Edit21"), block);
    udTime = upDown(QStringLiteral("udTime"), kTimeOutOption, Edit21, block);
    const QString timeHint = QStringLiteral("Skip loading after (seconds)");
    Edit21->setToolTip(timeHint);
    udTime->setToolTip(timeHint);
    addRow(grid, 1, Label6, Edit21, udTime);

    Label7 = label(QStringLiteral("Label7"), QStringLiteral("Number of connections"), block);
    Edit3 = numberEdit(QStringLiteral("Edit3"), block);
    udLink = upDown(QStringLiteral("udLink"), kLinksOption, Edit3, block);
    addRow(grid, 2, Label7, Edit3, udLink);

    Label10 = label(QStringLiteral("Label10"), QStringLiteral("Domain length limitation"), block);
    Label10->setWordWrap(true);
    Label7->setWordWrap(true);
    eMax = numberEdit(QStringLiteral("eMax"), block);
    udMax = upDown(QStringLiteral("udMax"), kMaxLengthOption, eMax, block);
    addRow(grid, 3, Label10, eMax, udMax);

    cbDnsFirst = new QCheckBox(QStringLiteral("Check DNS first"), block);
    cbDnsFirst->setObjectName(QStringLiteral("cbDnsFirst"));
    cbDnsFirst->setToolTip(QStringLiteral("A name with name servers in DNS is taken: its "
                                          "registry is not asked"));
    grid->addWidget(cbDnsFirst, 4, 0, 1, 2);
    return block;
}

QWidget* OptionsPane::zoneTitle() {
    auto* strip = new TitleStrip(this);
    Panel16 = new CheckAllBox(strip);
    Panel16->setObjectName(QStringLiteral("Panel16"));
    connect(Panel16, &CheckAllBox::toggled, this, &OptionsPane::Image2Click);
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Domains"), strip);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setStyleSheet(TitleStrip::textStyle());
    strip->row()->addWidget(Panel16);
    strip->row()->addWidget(Label1, 1);
    return strip;
}

void OptionsPane::Image2Click(bool on) {
    clbDom->setAllChecked(on);
}

bool OptionsPane::useHyphens() const {
    return cbHyphens->isChecked();
}

int OptionsPane::hyphens() const {
    return udHyphens->position();
}

int OptionsPane::timeLimit() const {
    return udTime->position();
}

int OptionsPane::linkLimit() const {
    return udLink->position();
}

int OptionsPane::maxLength() const {
    return udMax->position();
}

bool OptionsPane::dnsFirst() const {
    return cbDnsFirst->isChecked();
}

void OptionsPane::setZones(const std::vector<std::string>& zones, bool checked) {
    clbDom->setZones(zones);
    clbDom->setAllChecked(checked);
}

void OptionsPane::setAllZonesChecked(bool on) {
    clbDom->setAllChecked(on);
}

std::vector<std::string> OptionsPane::checkedZones() const {
    return clbDom->checkedZones();
}

void OptionsPane::applySettings(const WorkspaceSettings& s) {
    cbHyphens->setChecked(s.hyphens);
    udHyphens->setPosition(s.countHyphens);
    for (int i = 0; i < clbDom->count(); ++i)
        clbDom->setChecked(i, ZoneCheckedInDom(s.dom, static_cast<std::size_t>(i)));
    udLink->setPosition(s.links);
    udTime->setPosition(s.timeOut);
    udMax->setPosition(s.maxLength);
    cbDnsFirst->setChecked(s.dnsFirst);
}

void OptionsPane::storeSettings(WorkspaceSettings& s) const {
    s.hyphens = cbHyphens->isChecked();
    s.countHyphens = udHyphens->position();
    s.dom.clear();
    for (int i = 0; i < clbDom->count(); ++i)
        s.dom += clbDom->isChecked(i) ? '+' : '-';
    s.links = udLink->position();
    s.timeOut = udTime->position();
    s.maxLength = udMax->position();
    s.dnsFirst = cbDnsFirst->isChecked();
}

} // namespace zendrel
