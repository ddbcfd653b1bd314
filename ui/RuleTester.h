#pragma once

#include "engine/ReplyFetch.h"
#include "engine/RuleTrial.h"
#include "lookup/MethodTable.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;
class QToolButton;

namespace zendrel {

class DialogService;
class MessageLoop;
class RunSettings;
class ZoneTable;

// The rule tester: tries one method of "method.txt" on one reply and shows at once what a search
// would make of it (the verdict, the State text and check mark, every extra column) and which
// phrase decided. The reply is pasted, loaded from a file or fetched now for a typed name
// through the zone table with the connection settings and time limit of the window. The method
// table is read from the file each time the tester opens, so an edited file can be tried again;
// a running search keeps the table it started with. A window of its own, never modal.
class RuleTester final : public QDialog {
    Q_OBJECT
public:
    // `zones` gives the window's zone table at the moment of a fetch.
    RuleTester(MessageLoop& loop, DialogService& dialogs, const RunSettings& settings,
               std::string folder, std::function<const ZoneTable&()> zones,
               QWidget* parent = nullptr);
    ~RuleTester() override;

    // Reads the method table from the workspace again; the chosen method stays chosen while the
    // table still has it.
    void reloadMethods();
    const MethodTable& methods() const { return methods_; }
    // The chosen method's number; none when the table has no method.
    std::optional<std::int32_t> methodNumber() const;
    // Chooses the method of number `number`; false when the table has none.
    bool selectMethod(std::int32_t number);

    // Replaces the reply with `bytes` (not from a zone line: no refusal rules apply).
    void setReply(std::string bytes);
    const std::string& reply() const { return reply_; }
    void setRdap(bool on, int httpStatus);
    bool fetching() const { return fetch_.running(); }
    // What the chosen method makes of the reply as it stands.
    const RuleTrialResult& result() const { return result_; }

protected:
    // Closing ends a fetch under way.
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* methodRow();
    QWidget* replyRow();
    QWidget* rdapRow();
    QWidget* resultBlock();
    void methodChosen();
    void replyEdited();
    void loadReply();
    void fetchClicked();
    void fetched(const FetchedReply& reply);
    void showReply(std::string bytes);
    void readReply();
    void showResult();
    bool methodReadsRdap(std::int32_t number) const;

    DialogService& dialogs_;
    std::string folder_;
    std::function<const ZoneTable&()> zones_;
    ReplyFetch fetch_;
    MethodTable methods_;
    std::string reply_;
    bool replyUtf8_ = true;                // how the editor's text turns back into bytes
    std::optional<ZoneEntry> fetchedLine_; // the zone line of a fetched reply, until edited
    RuleTrialResult result_;
    int quiet_ = 0; // programmatic changes under way: no reading per signal

    QComboBox* cbMethod;
    QToolButton* sbReload;
    QToolButton* sbLoadReply;
    QLineEdit* edName;
    QToolButton* sbFetch;
    QLabel* lblFetch;
    QPlainTextEdit* edReply;
    QCheckBox* cbRdap;
    QSpinBox* seStatus;
    QLabel* lblVerdict;
    QLabel* lblState;
    QLabel* lblPhrase;
    QTableWidget* tblColumns;
    QLabel* lblRuleText;
    QPlainTextEdit* edRuleText;
};

} // namespace zendrel
