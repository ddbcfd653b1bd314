// The rule tester's reply and its reading: where the reply comes from (typed, a file, a fetch)
// and how what the method makes of it is shown.
#include "engine/LookupOutcome.h"
#include "platform/Files.h"
#include "platform/IntegerText.h"
#include "ui/DialogService.h"
#include "ui/Latin1.h"
#include "ui/RuleTester.h"

#include <QCheckBox>
#include <QFile>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>

namespace zendrel {

namespace {

const char* const kReplyFilter = "Replies (*.txt;*.json)|*.txt;*.json|All Files (*.*)|*.*";

QString verdictText(const RuleTrialResult& r) {
    if (r.refused)
        return QStringLiteral("refused: the server asks to be asked again later");
    if (!r.methodFound)
        return QStringLiteral("no method of this number");
    switch (r.verdict) {
    case ReplyState::NotAvailable:
        return QStringLiteral("taken");
    case ReplyState::Available:
        return QStringLiteral("free");
    case ReplyState::Hold:
        return QStringLiteral("on hold");
    case ReplyState::NoData:
        break;
    }
    return QStringLiteral("no verdict");
}

const char* phraseKind(std::size_t index) {
    switch (index % 3) {
    case 0:
        return "taken";
    case 1:
        return "free";
    default:
        return "hold";
    }
}

QString phraseText(const RuleTrialResult& r, int httpStatus) {
    if (r.refused && !r.refusalPhrase.empty())
        return QStringLiteral("the busy phrase \"%1\" of the zone line; a search shows "
                              "\"waiting\" and asks again later")
            .arg(toQ(r.refusalPhrase));
    if (r.refused)
        return QStringLiteral("the status %1 of the reply; a search shows \"waiting\" and asks "
                              "again later")
            .arg(httpStatus);
    if (!r.methodFound)
        return QStringLiteral("nothing: the method table has no method of this number");
    if (r.ruleText.empty())
        return QStringLiteral("nothing: the reply is empty");
    if (!r.phrase)
        return QStringLiteral("nothing: none of the method's phrases occurs in the reply");
    return QStringLiteral("\"%1\", phrase %2 of the method (a %3 phrase)")
        .arg(toQ(r.phrase->text))
        .arg(r.phrase->index + 1)
        .arg(QLatin1String(phraseKind(r.phrase->index)));
}

bool isUtf8(const std::string& bytes) {
    const QByteArray raw = QByteArray::fromStdString(bytes);
    return QString::fromUtf8(raw).toUtf8() == raw;
}

} // namespace

void RuleTester::setReply(std::string bytes) {
    fetchedLine_.reset();
    showReply(std::move(bytes));
}

void RuleTester::showReply(std::string bytes) {
    reply_ = std::move(bytes);
    // The bytes stay exactly as they came; the editor shows them as UTF-8 when they are that.
    replyUtf8_ = isUtf8(reply_);
    const QByteArray raw = QByteArray::fromStdString(reply_);
    ++quiet_;
    edReply->setPlainText(replyUtf8_ ? QString::fromUtf8(raw) : QString::fromLatin1(raw));
    --quiet_;
    readReply();
}

void RuleTester::setRdap(bool on, int httpStatus) {
    ++quiet_;
    cbRdap->setChecked(on);
    seStatus->setValue(httpStatus);
    --quiet_;
    readReply();
}

void RuleTester::replyEdited() {
    if (quiet_ > 0)
        return;
    const QString text = edReply->toPlainText();
    reply_ = (replyUtf8_ ? text.toUtf8() : text.toLatin1()).toStdString();
    // An edited reply is no longer what the server sent.
    fetchedLine_.reset();
    readReply();
}

void RuleTester::loadReply() {
    const QString folder = QFile::decodeName(QByteArray::fromStdString(folder_));
    const std::optional<QString> chosen =
        dialogs_.openFileName(this, QString::fromLatin1(kReplyFilter), QString(), folder);
    if (!chosen)
        return;
    const std::string path = QFile::encodeName(*chosen).toStdString();
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        dialogs_.showMessage(this, QStringLiteral("Unable to read %1").arg(*chosen),
                             QStringLiteral("Error"), DialogService::Icon::Error);
        return;
    }
    lblFetch->setText(QStringLiteral("Loaded %1 bytes from %2").arg(bytes.size()).arg(*chosen));
    setReply(std::move(bytes));
}

void RuleTester::fetchClicked() {
    if (fetch_.running()) {
        fetch_.cancel();
        sbFetch->setText(QStringLiteral("Fetch"));
        lblFetch->setText(QStringLiteral("Fetch cancelled."));
        return;
    }
    const std::optional<std::string> problem = fetch_.start(
        zones_(), fromQ(edName->text()),
        [this](const std::string& state) {
            lblFetch->setText(QStringLiteral("Fetching... %1").arg(toQ(state)));
        },
        [this](const FetchedReply& reply) { fetched(reply); });
    if (problem) {
        lblFetch->setText(toQ(*problem));
        return;
    }
    sbFetch->setText(QStringLiteral("Cancel"));
    lblFetch->setText(QStringLiteral("Fetching..."));
}

void RuleTester::fetched(const FetchedReply& reply) {
    sbFetch->setText(QStringLiteral("Fetch"));
    const LookupOutcome& o = reply.outcome;
    QString how = QStringLiteral("%1 bytes from %2").arg(reply.body.size()).arg(toQ(reply.address));
    if (o.httpStatus > 0)
        how += QStringLiteral(", status %1").arg(o.httpStatus);
    if (o.failure != LookupFailure::None)
        how += QStringLiteral(" (%1)").arg(QLatin1String(LookupFailureText(o.failure)));
    lblFetch->setText(QStringLiteral("Fetched ") + how);
    ++quiet_;
    if (const std::optional<std::int32_t> number = ReadDataInteger(reply.line.methodNumber))
        selectMethod(*number);
    cbRdap->setChecked(reply.line.options.rdap);
    seStatus->setValue(o.httpStatus);
    --quiet_;
    fetchedLine_ = reply.line;
    showReply(reply.body);
}

void RuleTester::readReply() {
    if (quiet_ > 0)
        return;
    RuleTrialInput in;
    in.reply = reply_;
    in.rdap = cbRdap->isChecked();
    in.httpStatus = seStatus->value();
    in.line = fetchedLine_;
    result_ = TryRules(methods_, methodNumber().value_or(0), in);
    showResult();
}

void RuleTester::showResult() {
    const RuleTrialResult& r = result_;
    lblVerdict->setText(verdictText(r));
    lblState->setText(toQ(r.stateText) + (r.checked ? QStringLiteral(", the row is checked")
                                                    : QStringLiteral(", the row is not checked")));
    lblPhrase->setText(phraseText(r, seStatus->value()));
    const std::vector<std::string> captions = methods_.extraColumnCaptions();
    tblColumns->setRowCount(static_cast<int>(captions.size()));
    for (std::size_t c = 0; c < captions.size(); ++c) {
        const int row = static_cast<int>(c);
        tblColumns->setItem(row, 0, new QTableWidgetItem(toQ(captions[c])));
        const std::string value = c < r.columns.size() ? r.columns[c] : std::string();
        tblColumns->setItem(row, 1, new QTableWidgetItem(toQ(value)));
    }
    // The converted text is worth seeing only where it differs from the reply.
    const bool converted = cbRdap->isChecked();
    lblRuleText->setVisible(converted);
    edRuleText->setVisible(converted);
    if (converted)
        edRuleText->setPlainText(toQ(r.ruleText));
}

void RuleTester::hideEvent(QHideEvent* event) {
    if (fetch_.running()) {
        fetch_.cancel();
        sbFetch->setText(QStringLiteral("Fetch"));
        lblFetch->setText(QStringLiteral("Fetch cancelled."));
    }
    QDialog::hideEvent(event);
}

} // namespace zendrel
