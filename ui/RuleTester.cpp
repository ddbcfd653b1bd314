#include "ui/RuleTester.h"

#include "platform/IntegerText.h"
#include "ui/Latin1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <set>

namespace zendrel {

namespace {

constexpr int kZonesNamed = 6; // zones named after a method's number in the method list

QToolButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    return b;
}

QLabel* valueLabel(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

RuleTester::RuleTester(MessageLoop& loop, DialogService& dialogs, const RunSettings& settings,
                       std::string folder, std::function<const ZoneTable&()> zones, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), folder_(std::move(folder)), zones_(std::move(zones)),
      fetch_(loop, settings) {
    setObjectName(QStringLiteral("RuleTester"));
    setWindowTitle(QStringLiteral("Rule tester"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(methodRow());
    layout->addWidget(replyRow());
    lblFetch = valueLabel("lblFetch", this);
    layout->addWidget(lblFetch);
    // The reply above, what is made of it below; the user shares the height out.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setChildrenCollapsible(false);
    auto* top = new QWidget(split);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    edReply = new QPlainTextEdit(top);
    edReply->setObjectName(QStringLiteral("edReply"));
    edReply->setPlaceholderText(
        QStringLiteral("Paste a reply here, load one from a file, or fetch one for a name."));
    edReply->setLineWrapMode(QPlainTextEdit::NoWrap);
    topLayout->addWidget(edReply, 1);
    topLayout->addWidget(rdapRow());
    split->addWidget(top);
    split->addWidget(resultBlock());
    split->setSizes({300, 400});
    layout->addWidget(split, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(edReply, &QPlainTextEdit::textChanged, this, &RuleTester::replyEdited);
    resize(680, 700);
}

RuleTester::~RuleTester() = default;

QWidget* RuleTester::methodRow() {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("Method"), row);
    cbMethod = new QComboBox(row);
    cbMethod->setObjectName(QStringLiteral("cbMethod"));
    cbMethod->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbMethod->setMinimumContentsLength(30);
    caption->setBuddy(cbMethod);
    sbReload = button("sbReload", QStringLiteral("Read method.txt again"), row);
    h->addWidget(caption);
    h->addWidget(cbMethod, 1);
    h->addWidget(sbReload);
    connect(cbMethod, &QComboBox::currentIndexChanged, this, &RuleTester::methodChosen);
    connect(sbReload, &QToolButton::clicked, this, &RuleTester::reloadMethods);
    return row;
}

QWidget* RuleTester::replyRow() {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    sbLoadReply = button("sbLoadReply", QStringLiteral("Load reply..."), row);
    edName = new QLineEdit(row);
    edName->setObjectName(QStringLiteral("edName"));
    edName->setPlaceholderText(QStringLiteral("name with its zone, e.g. shop.com"));
    sbFetch = button("sbFetch", QStringLiteral("Fetch"), row);
    sbFetch->setToolTip(QStringLiteral("Asks the zone table's server for this name now, with "
                                       "the connection settings and the time limit of the "
                                       "window"));
    h->addWidget(sbLoadReply);
    h->addSpacing(12);
    h->addWidget(new QLabel(QStringLiteral("or fetch it for"), row));
    h->addWidget(edName, 1);
    h->addWidget(sbFetch);
    connect(sbLoadReply, &QToolButton::clicked, this, &RuleTester::loadReply);
    connect(sbFetch, &QToolButton::clicked, this, &RuleTester::fetchClicked);
    connect(edName, &QLineEdit::returnPressed, this, &RuleTester::fetchClicked);
    return row;
}

QWidget* RuleTester::rdapRow() {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    cbRdap = new QCheckBox(QStringLiteral("Read as an RDAP reply with the HTTP status"), row);
    cbRdap->setObjectName(QStringLiteral("cbRdap"));
    cbRdap->setToolTip(QStringLiteral("As the zone lines marked rdap read their replies: the "
                                      "status line, then the facts of the JSON body"));
    seStatus = new QSpinBox(row);
    seStatus->setObjectName(QStringLiteral("seStatus"));
    seStatus->setRange(0, 999);
    seStatus->setSpecialValueText(QStringLiteral("none"));
    seStatus->setValue(200);
    h->addWidget(cbRdap);
    h->addWidget(seStatus);
    h->addStretch(1);
    connect(cbRdap, &QCheckBox::toggled, this, &RuleTester::readReply);
    connect(seStatus, &QSpinBox::valueChanged, this, &RuleTester::readReply);
    return row;
}

QWidget* RuleTester::resultBlock() {
    auto* block = new QWidget(this);
    auto* v = new QVBoxLayout(block);
    v->setContentsMargins(0, 0, 0, 0);
    auto* form = new QFormLayout;
    lblVerdict = valueLabel("lblVerdict", block);
    lblState = valueLabel("lblState", block);
    lblPhrase = valueLabel("lblPhrase", block);
    QFont bold = lblVerdict->font();
    bold.setBold(true);
    lblVerdict->setFont(bold);
    form->addRow(QStringLiteral("Verdict:"), lblVerdict);
    form->addRow(QStringLiteral("State:"), lblState);
    form->addRow(QStringLiteral("Decided by:"), lblPhrase);
    v->addLayout(form);
    tblColumns = new QTableWidget(0, 2, block);
    tblColumns->setObjectName(QStringLiteral("tblColumns"));
    tblColumns->setHorizontalHeaderLabels({QStringLiteral("Column"), QStringLiteral("Value")});
    tblColumns->horizontalHeader()->setStretchLastSection(true);
    tblColumns->verticalHeader()->hide();
    tblColumns->verticalHeader()->setDefaultSectionSize(tblColumns->fontMetrics().height() + 6);
    tblColumns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->addWidget(tblColumns, 1);
    lblRuleText = new QLabel(QStringLiteral("The text the method reads:"), block);
    edRuleText = new QPlainTextEdit(block);
    edRuleText->setObjectName(QStringLiteral("edRuleText"));
    edRuleText->setReadOnly(true);
    edRuleText->setLineWrapMode(QPlainTextEdit::NoWrap);
    v->addWidget(lblRuleText);
    v->addWidget(edRuleText, 1);
    return block;
}

void RuleTester::reloadMethods() {
    const std::optional<std::int32_t> chosen = methodNumber();
    MethodTable fresh;
    LoadMethodTable(folder_, fresh);
    methods_ = std::move(fresh);
    ++quiet_;
    cbMethod->clear();
    // Only what a classification can find: the first method of each number written plainly.
    std::set<std::int32_t> listed;
    for (std::size_t i = 1; i < methods_.size(); ++i) {
        const std::string& text = methods_.entries()[i].number();
        const std::optional<std::int32_t> number = ReadDataInteger(text);
        if (!number || *number < 1 || std::to_string(*number) != text ||
            !listed.insert(*number).second)
            continue;
        QStringList zones;
        int more = 0;
        for (const ZoneEntry& line : zones_().entries()) {
            if (ReadDataInteger(line.methodNumber) != number)
                continue;
            if (zones.size() < kZonesNamed)
                zones << toQ(line.zone);
            else
                ++more;
        }
        QString caption = toQ(text);
        if (!zones.isEmpty())
            caption += QStringLiteral("  (%1%2)")
                           .arg(zones.join(QStringLiteral(", ")),
                                more > 0 ? QStringLiteral(" and %1 more").arg(more) : QString());
        cbMethod->addItem(caption, *number);
    }
    cbMethod->setEnabled(cbMethod->count() > 0);
    if (cbMethod->count() == 0)
        cbMethod->addItem(QStringLiteral("method.txt holds no method"));
    --quiet_;
    if (!chosen || !selectMethod(*chosen))
        methodChosen();
    else
        readReply();
}

std::optional<std::int32_t> RuleTester::methodNumber() const {
    const QVariant data = cbMethod->currentData();
    if (!data.isValid())
        return std::nullopt;
    return data.toInt();
}

bool RuleTester::selectMethod(std::int32_t number) {
    const int index = cbMethod->findData(number);
    if (index < 0)
        return false;
    ++quiet_;
    cbMethod->setCurrentIndex(index);
    --quiet_;
    readReply();
    return true;
}

bool RuleTester::methodReadsRdap(std::int32_t number) const {
    for (const ZoneEntry& line : zones_().entries())
        if (line.options.rdap && ReadDataInteger(line.methodNumber) == number)
            return true;
    return false;
}

void RuleTester::methodChosen() {
    if (quiet_ > 0)
        return;
    // A method of RDAP lines reads RDAP replies; the box can still be changed by hand.
    if (const std::optional<std::int32_t> number = methodNumber()) {
        ++quiet_;
        cbRdap->setChecked(methodReadsRdap(*number));
        --quiet_;
    }
    readReply();
}

} // namespace zendrel
