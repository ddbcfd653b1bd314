#include "ui/WorkArea.h"

#include "ui/OptionsPane.h"
#include "ui/TitleStrip.h"
#include "ui/UpDown.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QVBoxLayout>

namespace zendrel {

namespace {
constexpr int kKeywordPaneWidth = 283;
} // namespace

WorkArea::WorkArea(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel3"));
    Splitter2 = new QSplitter(Qt::Horizontal, this);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(3);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(keywordFrame());
    Splitter2->addWidget(additionalFrame());
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

QFrame* WorkArea::keywordFrame() {
    Panel5 = new QFrame(this);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    auto* strip = new TitleStrip(Panel5);
    Label2 = new QLabel(QStringLiteral("Domain Name Keywords"), strip);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setStyleSheet(TitleStrip::textStyle());
    strip->row()->addWidget(Label2, 1);

    const QString hint = QStringLiteral("Word Combinations");
    Label5 = new QLabel(QStringLiteral("Combinations"), Panel5);
    Label5->setObjectName(QStringLiteral("Label5"));
    Edit1 = new QLineEdit(Panel5);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFixedWidth(32);
    udComb = new UpDown(1, 10, 1, Panel5);
    udComb->setObjectName(QStringLiteral("udComb"));
    udComb->setBuddy(Edit1);
    for (QWidget* w : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(Edit1),
                       static_cast<QWidget*>(udComb)})
        w->setToolTip(hint);
    auto* combinations = new QHBoxLayout;
    combinations->setContentsMargins(2, 1, 2, 1);
    combinations->setSpacing(2);
    combinations->addStretch();
    combinations->addWidget(Label5);
    combinations->addWidget(Edit1);
    combinations->addWidget(udComb);

    keywordLayout_ = new QVBoxLayout(Panel5);
    keywordLayout_->setContentsMargins(0, 0, 0, 0);
    keywordLayout_->setSpacing(0);
    keywordLayout_->addWidget(strip);
    keywordLayout_->addLayout(combinations);
    keywordLayout_->addWidget(new QFrame(Panel5), 1);
    return Panel5;
}

QFrame* WorkArea::additionalFrame() {
    Panel7 = new QFrame(this);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    auto* strip = new TitleStrip(Panel7);
    cbAdd = new QCheckBox(QStringLiteral("Additional  Domain Name Keywords"), strip);
    cbAdd->setObjectName(QStringLiteral("cbAdd"));
    cbAdd->setStyleSheet(TitleStrip::textStyle());
    strip->row()->addWidget(cbAdd, 1);
    additionalLayout_ = new QVBoxLayout(Panel7);
    additionalLayout_->setContentsMargins(0, 0, 0, 0);
    additionalLayout_->setSpacing(0);
    additionalLayout_->addWidget(strip);
    additionalLayout_->addWidget(new QFrame(Panel7), 1);
    return Panel7;
}

void WorkArea::replaceLast(QVBoxLayout* layout, QWidget* pane) {
    QLayoutItem* last = layout->takeAt(layout->count() - 1);
    delete last->widget();
    delete last;
    layout->addWidget(pane, 1);
}

void WorkArea::setKeywordPane(QWidget* pane) {
    replaceLast(keywordLayout_, pane);
}

void WorkArea::setAdditionalWordPane(QWidget* pane) {
    replaceLast(additionalLayout_, pane);
}

int WorkArea::keywordPaneWidth() const {
    return Splitter2->sizes().value(0);
}

void WorkArea::setKeywordPaneWidth(int width) {
    const QList<int> sizes = Splitter2->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), width + 1);
    Splitter2->setSizes({width, total - width});
}

} // namespace zendrel
