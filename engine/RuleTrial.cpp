// The rule tester's reading of a reply. It runs the same steps as the end of a row's lookup, on
// a row of its own, and adds what a row does not keep: which phrase decided.
#include "engine/RuleTrial.h"

#include "engine/RefusalCheck.h"
#include "engine/ZoneServers.h"
#include "lookup/RdapReplyText.h"
#include "lookup/ReplyRow.h"
#include "lookup/ReplyState.h"
#include "platform/AsciiText.h"

namespace zendrel {

namespace {

class TrialRow final : public ReplyRow {
public:
    explicit TrialRow(RuleTrialResult& out) : out_(out) {}
    void setStateText(std::string_view text) override { out_.stateText = text; }
    void setChecked(bool on) override { out_.checked = on; }
    void setExtraColumn(int column, std::string_view text) override {
        out_.columns.at(static_cast<std::size_t>(column)) = text;
    }

private:
    RuleTrialResult& out_;
};

} // namespace

RuleTrialResult TryRules(const MethodTable& methods, std::int32_t methodNumber,
                         const RuleTrialInput& in) {
    RuleTrialResult out;
    out.columns.resize(static_cast<std::size_t>(methods.extraColumnCount()));
    out.ruleText = in.rdap ? RdapReplyText(in.httpStatus, in.reply) : in.reply;
    const MethodEntry* method = methodNumber >= 1 ? FindMethod(methods, methodNumber) : nullptr;
    out.methodFound = method != nullptr;
    if (in.line && FollowsRegistryRules(*in.line) &&
        IsRefusal(*in.line, out.ruleText, in.httpStatus)) {
        out.refused = true;
        if (const std::string* phrase = FindBusyPhrase(in.line->options, out.ruleText))
            out.refusalPhrase = *phrase;
        out.stateText = "waiting";
        return out;
    }
    TrialRow row(out);
    out.verdict = ClassifyReply(row, out.ruleText, methodNumber, methods).state;
    if (method && !out.ruleText.empty())
        out.phrase = JudgeReplyWithPhrase(LowerCase(out.ruleText), method->classification()).phrase;
    return out;
}

} // namespace zendrel
