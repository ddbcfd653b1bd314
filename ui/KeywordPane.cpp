#include "ui/KeywordPane.h"

#include "engine/WorkspaceSettings.h"
#include "platform/Files.h"
#include "ui/CheckAllBox.h"
#include "ui/DialogService.h"
#include "ui/ListButton.h"
#include "ui/WordListFileDialog.h"
#include "ui/WordText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zendrel {

namespace {

constexpr int kBytesRole = Qt::UserRole;

std::string itemBytes(const QListWidgetItem* item) {
    return item->data(kBytesRole).toByteArray().toStdString();
}

void setItemWord(QListWidgetItem* item, const std::string& bytes) {
    item->setData(kBytesRole, QByteArray::fromStdString(bytes));
    item->setText(WordDisplayText(bytes));
}

} // namespace

KeywordPane::KeywordPane(DialogService& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Label2 = new QLabel("Domain Name Keywords", this);
    Label2->setObjectName("Label2");
    Label2->setStyleSheet("background: grey; color: white; font-size: 12px; padding: 2px;");
    column->addWidget(Label2);

    toolRow_ = new QHBoxLayout;
    toolRow_->setContentsMargins(2, 2, 2, 2);
    buildToolRow(toolRow_);
    column->addLayout(toolRow_);

    clbDomain = new QListWidget(this);
    clbDomain->setObjectName("clbDomain");
    column->addWidget(clbDomain, 1);
    connect(clbDomain, &QListWidget::itemChanged, this, [this] { userEdited(); });
}

void KeywordPane::buildToolRow(QHBoxLayout* row) {
    Panel13 = new CheckAllBox(this);
    Panel13->setObjectName("Panel13");
    SpeedButton1 = MakeListButton(this, "SpeedButton1", "+", "add", 0);
    SpeedButton2 = MakeListButton(this, "SpeedButton2", "v", "edit", 1);
    SpeedButton13 = MakeListButton(this, "SpeedButton13", "-", "delete");
    SpeedButton5 = MakeListButton(this, "SpeedButton5", "Load");
    SpeedButton7 = MakeListButton(this, "SpeedButton7", "Save");
    for (QWidget* w : {static_cast<QWidget*>(Panel13), static_cast<QWidget*>(SpeedButton1),
                       static_cast<QWidget*>(SpeedButton2), static_cast<QWidget*>(SpeedButton13),
                       static_cast<QWidget*>(SpeedButton5), static_cast<QWidget*>(SpeedButton7)})
        row->addWidget(w);
    row->addStretch(1);

    connect(Panel13, &CheckAllBox::toggled, this, &KeywordPane::Image1Click);
    for (QToolButton* b : {SpeedButton1, SpeedButton2})
        connect(b, &QToolButton::clicked, this, [this, b] { SpeedButton1Click(b); });
    connect(SpeedButton13, &QToolButton::clicked, this, &KeywordPane::SpeedButton13Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &KeywordPane::SpeedButton5Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &KeywordPane::SpeedButton7Click);
}

void KeywordPane::addToToolRow(QWidget* widget) {
    // Before the closing stretch, so the window's controls follow the buttons.
    toolRow_->insertWidget(toolRow_->count() - 1, widget);
}

std::vector<KeywordEntry> KeywordPane::entries() const {
    std::vector<KeywordEntry> out;
    out.reserve(static_cast<std::size_t>(clbDomain->count()));
    for (int i = 0; i < clbDomain->count(); ++i) {
        const QListWidgetItem* item = clbDomain->item(i);
        out.push_back({itemBytes(item), item->checkState() == Qt::Checked});
    }
    return out;
}

void KeywordPane::appendEntry(const KeywordEntry& entry) {
    auto* item = new QListWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    setItemWord(item, entry.text);
    item->setCheckState(entry.checked ? Qt::Checked : Qt::Unchecked);
    clbDomain->addItem(item);
}

void KeywordPane::setEntries(const std::vector<KeywordEntry>& entries) {
    QSignalBlocker quiet(clbDomain);
    clbDomain->clear();
    for (const KeywordEntry& e : entries)
        appendEntry(e);
}

void KeywordPane::LoadKeywords() {
    std::vector<KeywordEntry> loaded;
    WordListLoad result = zendrel::LoadKeywords(path_, loaded);
    keepUnreadableFile_ = result == WordListLoad::Unreadable;
    setEntries(loaded);
}

void KeywordPane::SaveKeywords() {
    if (keepUnreadableFile_)
        return;
    zendrel::SaveKeywords(path_, entries());
}

// The add and edit buttons share this handler; the edit button's tag is 1.
void KeywordPane::SpeedButton1Click(QObject* sender) {
    QListWidgetItem* selected = clbDomain->currentItem();
    bool edit = ButtonTag(sender) == 1 && selected;
    QString text = edit ? selected->text() : QString();
    if (!dialogs_.askItem(this, !edit, text))
        return;
    userEdited();
    if (!edit) {
        appendEntry({WordBytes(text), true});
        return;
    }
    QSignalBlocker quiet(clbDomain);
    setItemWord(selected, WordBytes(text, itemBytes(selected)));
    selected->setCheckState(Qt::Unchecked);
}

void KeywordPane::SpeedButton13Click() {
    if (!clbDomain->currentItem() && clbDomain->count() > 0)
        clbDomain->setCurrentRow(0);
    QListWidgetItem* selected = clbDomain->currentItem();
    if (!selected || !dialogs_.askYesNo(this, "Delete Item", "Question"))
        return;
    userEdited();
    delete clbDomain->takeItem(clbDomain->row(selected));
}

void KeywordPane::SpeedButton5Click() {
    std::optional<std::string> chosen = ChooseWordListFile(dialogs_, this, false, path_);
    if (!chosen)
        return;
    path_ = *chosen;
    LoadKeywords();
    // The user chose this file; what it holds now is theirs to overwrite.
    keepUnreadableFile_ = false;
}

void KeywordPane::SpeedButton7Click() {
    SaveWordListAs(
        dialogs_, this, path_, keepUnreadableFile_, ProgramFolder(), [this] { SaveKeywords(); },
        saveSettings_);
}

void KeywordPane::Image1Click(bool on) {
    for (int i = 0; i < clbDomain->count(); ++i)
        clbDomain->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void KeywordPane::applySettings(const WorkspaceSettings& s) {
    setPath(s.fileNameDomain);
}

void KeywordPane::storeSettings(WorkspaceSettings& s) const {
    s.fileNameDomain = path();
}

} // namespace zendrel
