#include "ui/TopBar.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace zendrel {

namespace {

QToolButton* flatButton(const QString& name, const QString& caption, int width, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setAutoRaise(true);
    b->setFixedWidth(width);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    return b;
}

QFrame* panel(const QString& name, QWidget* parent) {
    auto* p = new QFrame(parent);
    p->setObjectName(name);
    return p;
}

} // namespace

TopBar::TopBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel2"));
    setFixedHeight(31);
    setFrameShape(QFrame::StyledPanel);

    QFrame* left = panel(QStringLiteral("Panel12"), this);
    left->setFixedWidth(284);
    sbSearch = flatButton(QStringLiteral("sbSearch"), QStringLiteral("Search"), 98, left);
    sbStop = flatButton(QStringLiteral("sbStop"), QStringLiteral("Stop"), 84, left);
    sbStop->setEnabled(false);
    auto* leftLayout = new QHBoxLayout(left);
    leftLayout->setContentsMargins(2, 2, 2, 2);
    leftLayout->setSpacing(2);
    leftLayout->addWidget(sbSearch);
    leftLayout->addWidget(sbStop);
    leftLayout->addStretch();

    QFrame* middle = panel(QStringLiteral("Panel15"), this);
    pbar = new QProgressBar(middle);
    pbar->setObjectName(QStringLiteral("pbar"));
    pbar->setRange(0, 100);
    pbar->setFixedHeight(9);
    pbar->setTextVisible(false);
    pbar->hide();
    auto* middleLayout = new QVBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->addStretch();
    middleLayout->addWidget(pbar);

    QFrame* right = panel(QStringLiteral("Panel14"), this);
    right->setFixedWidth(80);
    ExplorerButton1 =
        flatButton(QStringLiteral("ExplorerButton1"), QStringLiteral("   Exit"), 76, right);
    ExplorerButton1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    ExplorerButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* rightLayout = new QHBoxLayout(right);
    rightLayout->setContentsMargins(2, 2, 2, 2);
    rightLayout->addWidget(ExplorerButton1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(left);
    layout->addWidget(middle, 1);
    layout->addWidget(right);

    connect(sbSearch, &QToolButton::clicked, this, &TopBar::searchClicked);
    connect(sbStop, &QToolButton::clicked, this, &TopBar::stopClicked);
    connect(ExplorerButton1, &QToolButton::clicked, this, &TopBar::exitClicked);
}

void TopBar::setRunButtons(bool search, bool stop) {
    sbSearch->setEnabled(search);
    sbStop->setEnabled(stop);
}

void TopBar::setProgressVisible(bool shown) {
    pbar->setVisible(shown);
}

void TopBar::setProgressMaximum(int maximum) {
    pbar->setMaximum(maximum);
}

void TopBar::setProgressPosition(int position) {
    pbar->setValue(position);
}

} // namespace zendrel
