#include "ui/WorkArea.h"

#include "engine/WorkspaceSettings.h"
#include "ui/AdditionalWordPane.h"
#include "ui/KeywordPane.h"
#include "ui/ModelChanges.h"
#include "ui/OptionsPane.h"
#include "ui/TitleStrip.h"
#include "ui/UpDown.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zendrel {

namespace {
constexpr int kKeywordPaneWidth = 283;
} // namespace

WorkArea::WorkArea(DialogService& dialogs, QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel3"));
    Splitter2 = new QSplitter(Qt::Horizontal, this);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(3);
    Splitter2->setChildrenCollapsible(false);
    Panel5 = new KeywordPane(dialogs, Splitter2);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    addCombinationField();
    Splitter2->addWidget(Panel5);
    Splitter2->addWidget(additionalFrame(dialogs));
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);
    options = new OptionsPane(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Splitter2, 1);
    layout->addWidget(options);
    setKeywordPaneWidth(kKeywordPaneWidth);
}

void WorkArea::watchSearchInput(QObject* receiver, const std::function<void()>& changed) {
    OnModelChange(Panel5->list()->model(), receiver, changed);
    OnModelChange(additional->grid()->model(), receiver, changed);
    connect(udComb, &UpDown::positionChanged, receiver, changed);
    connect(cbAdd, &QCheckBox::toggled, receiver, changed);
    options->watchSearchOptions(receiver, changed);
}

void WorkArea::addCombinationField() {
    const QString hint = QStringLiteral("Word Combinations");
    Label5 = new QLabel(QStringLiteral("Combinations"), Panel5);
    Label5->setObjectName(QStringLiteral("Label5"));
    Edit1 = new QLineEdit(Panel5);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFixedWidth(28);
    udComb = new UpDown(kCombinationsOption, Panel5);
    udComb->setObjectName(QStringLiteral("udComb"));
    udComb->setBuddy(Edit1);
    for (QWidget* w : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(Edit1),
                       static_cast<QWidget*>(udComb)}) {
        w->setToolTip(hint);
        Panel5->addToToolRow(w);
    }
}

QFrame* WorkArea::additionalFrame(DialogService& dialogs) {
    Panel7 = new QFrame(this);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    auto* strip = new TitleStrip(Panel7);
    cbAdd = new QCheckBox(QStringLiteral("Additional  Domain Name Keywords"), strip);
    cbAdd->setObjectName(QStringLiteral("cbAdd"));
    cbAdd->setStyleSheet(TitleStrip::textStyle());
    strip->row()->addWidget(cbAdd, 1);
    additional = new AdditionalWordPane(dialogs, Panel7);
    auto* layout = new QVBoxLayout(Panel7);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(additional, 1);
    return Panel7;
}

int WorkArea::keywordPaneWidth() const {
    return Splitter2->sizes().value(0);
}

void WorkArea::setKeywordPaneWidth(int width) {
    const QList<int> sizes = Splitter2->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), width + 1);
    Splitter2->setSizes({width, total - width});
}

int WorkArea::combinations() const {
    return udComb->position();
}

bool WorkArea::additionalWordsOn() const {
    return cbAdd->isChecked();
}

void WorkArea::applySettings(const WorkspaceSettings& s) {
    udComb->setPosition(s.combinations);
    cbAdd->setChecked(s.additiveName);
}

void WorkArea::storeSettings(WorkspaceSettings& s) const {
    s.combinations = udComb->position();
    s.additiveName = cbAdd->isChecked();
}

} // namespace zendrel
