#include "ui/LowerPane.h"

#include "ui/ResultsView.h"
#include "ui/ResumeExportPane.h"

#include <QHBoxLayout>

namespace zendrel {

LowerPane::LowerPane(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel1"));
    lvResult = new ResultsView(this);
    side = new ResumeExportPane(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(lvResult, 1);
    layout->addWidget(side);
}

} // namespace zendrel
