#include "engine/LookupConnection.h"

#include "engine/ResultStore.h"
#include "engine/SearchRun.h"
#include "engine/StoreReplyRow.h"
#include "lookup/ClassifyReply.h"
#include "lookup/TextRules.h"

#include <algorithm>
#include <cstring>

namespace zendrel {

namespace {

// The decimal number at the start of `text`; 0 without leading digits, saturated when huge.
std::int32_t LeadingNumber(std::string_view text) {
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min<std::int64_t>(value * 10 + (c - '0'), INT32_MAX);
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

TMyHTTPCLI::TMyHTTPCLI(SearchRun& owner, ResultStore& rows, const MethodTable& methods)
    : THttpCli(owner.loop()), owner_(owner), rows_(rows), methods_(methods),
      secondsTimer_(owner.loop(), *this, &TMyHTTPCLI::onTimerMessage) {
    Agent.clear();
    OnRequestDone = [this](THttpCli* s, THttpRequest rq, std::uint16_t e) {
        HttpRequestDone(s, rq, e);
    };
    OnDocData = [this](THttpCli* s, const char* d, std::int32_t n) { HttpDocData(s, d, n); };
    OnStateChange = [this](THttpCli* s) { HttpStateChange(s); };
    OnHeaderEnd = [this](THttpCli* s) { HttpHeaderEnd(s); };
    ++owner_.variables().activeLookups;
}

TMyHTTPCLI::~TMyHTTPCLI() {
    secondsTimer_.killTimer(kSecondsTimer);
    // The client part is released by the base destructor; its own events must not reach this
    // half-destroyed object.
    OnRequestDone = nullptr;
    OnDocData = nullptr;
    OnStateChange = nullptr;
    OnHeaderEnd = nullptr;
    replyText.clear();
}

void TMyHTTPCLI::applySettings(const ConnectionSettings& v) {
    auto trimmed = [](const std::string& s) { return std::string(TrimBlanks(s)); };
    Proxy = trimmed(v[0]);
    ProxyPort = trimmed(v[1]);
    Sender = trimmed(v[2]);
    Agent = trimmed(v[3]);
    Reference = trimmed(v[4]);
    Username = trimmed(v[5]);
    Password = trimmed(v[6]);
    ProxyUsername = trimmed(v[7]);
    ProxyPassword = trimmed(v[8]);
}

void TMyHTTPCLI::setState(const std::string& text) {
    rows_.setSubItem(row, ResultStore::kState, text);
}

void TMyHTTPCLI::StartLookup(const std::string& address) {
    replyText.clear();
    URL = address;
    setState("");
    tag_ = 0;
    secondsTimer_.setTimer(kSecondsTimer, 1000);
    try {
        GetAsync();
    } catch (const std::exception&) {
        // An address the client cannot even start on (no host in it) ends this lookup at once
        // with whatever it has, nothing: the search never shows network errors.
        Abort();
    }
}

void TMyHTTPCLI::onTimerMessage(const Message& m) {
    if (m.msg == WM_TIMER && m.wParam == kSecondsTimer)
        LookupTimerTick();
}

void TMyHTTPCLI::LookupTimerTick() {
    ++tag_;
    rows_.setSubItem(row, ResultStore::kTime, std::to_string(tag_));
    if (owner_.settings().timeLimit() < tag_)
        Abort();
}

void TMyHTTPCLI::HttpDocData(THttpCli*, const char* data, std::int32_t) {
    // The block is read up to its first NUL, as a text.
    const std::size_t len = std::strlen(data);
    if (replyText.size() < kMaxReplyBytes)
        replyText.append(data, std::min(len, kMaxReplyBytes - replyText.size()));
    const auto n = static_cast<std::int64_t>(replyText.size());
    if (expectedLength > 0) {
        const std::int64_t percent = n * 100 / expectedLength;
        setState("Loading " + std::to_string(percent) + " from " + std::to_string(expectedLength));
    } else {
        setState("Loading " + std::to_string(n) + " bt");
    }
}

void TMyHTTPCLI::HttpHeaderEnd(THttpCli*) {
    for (const std::string& line : RcvdHeader()) {
        if (LowerCase(line).find("content-length:") == std::string::npos)
            continue;
        const std::string_view rest = std::string_view(line).substr(line.find(':') + 1);
        expectedLength = LeadingNumber(TrimBlanks(rest));
        return;
    }
}

int TMyHTTPCLI::StateCode(THttpCliState state) {
    switch (state) {
    case Ready:
        return 1;
    case NotConnected:
        return 2;
    case Connected:
        return 3;
    case DnsLookup:
        return 4;
    case DnsLookupDone:
        return 5;
    case WaitingHeader:
        return 6;
    case WaitingBody:
        return 7;
    case Aborting:
        return 8;
    }
    return 0;
}

void TMyHTTPCLI::HttpStateChange(THttpCli*) {
    owner_.post(WM_LOOKUP_STATE, StateCode(State()), rowIndex);
}

void TMyHTTPCLI::HttpRequestDone(THttpCli*, THttpRequest, std::uint16_t) {
    secondsTimer_.killTimer(kSecondsTimer);
    owner_.switchDispatchTimer(false);
    owner_.send(WM_DISPATCH_PAUSE, 0, 0);
    StoreReplyRow target(rows_, row);
    ClassifyReply(target, replyText, methodNumber, methods_);
    if (!replyText.empty())
        rows_.setSubItem(row, ResultStore::kTime, "~");
    replyText.clear();
    owner_.post(WM_LOOKUP_DONE, 0, rowIndex);
}

} // namespace zendrel
