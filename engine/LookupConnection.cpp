#include "engine/LookupConnection.h"

#include "lookup/TextRules.h"
#include "lookup/ZoneTable.h"

#include <algorithm>
#include <cstring>

namespace zendrel {

TMyHTTPCLI::TMyHTTPCLI(const LookupContext& context, LookupRequest request)
    : THttpCli(context.loop), RowLookup(context, std::move(request)) {
    Agent.clear();
    OnRequestDone = [this](THttpCli* s, THttpRequest rq, std::uint16_t e) {
        HttpRequestDone(s, rq, e);
    };
    OnDocData = [this](THttpCli* s, const char* d, std::int32_t n) { HttpDocData(s, d, n); };
    OnStateChange = [this](THttpCli* s) { HttpStateChange(s); };
    OnHeaderEnd = [this](THttpCli* s) { HttpHeaderEnd(s); };
    OnHeaderData = [this](THttpCli* s) { HttpHeaderData(s); };
    applySettings(this->request().connection);
}

TMyHTTPCLI::~TMyHTTPCLI() {
    // The client part is released by the base destructor; its own events must not reach this
    // half-destroyed object.
    OnRequestDone = nullptr;
    OnDocData = nullptr;
    OnStateChange = nullptr;
    OnHeaderEnd = nullptr;
    OnHeaderData = nullptr;
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

void TMyHTTPCLI::begin() {
    URL = request().address;
    if (request().zone && request().zone->options.rdap)
        Accept = "application/rdap+json, application/json";
    try {
        GetAsync();
    } catch (const std::exception&) {
        // An address the client cannot even start on (no host in it) ends this lookup at once
        // with whatever it has, nothing: the search never shows network errors.
        unusableAddress_ = true;
        Abort();
    }
}

void TMyHTTPCLI::HttpDocData(THttpCli*, const char* data, std::int32_t) {
    // The block is read up to its first NUL, as a text.
    received(std::string_view(data, std::strlen(data)));
}

void TMyHTTPCLI::HttpHeaderData(THttpCli*) {
    const std::vector<std::string>& header = RcvdHeader();
    if (!header.empty() && header.back().starts_with("HTTP/"))
        receivedStatus_ = StatusCode();
}

void TMyHTTPCLI::HttpHeaderEnd(THttpCli*) {
    if (AnnouncedLength() >= 0)
        setExpectedLength(AnnouncedLength());
    for (const std::string& line : RcvdHeader()) {
        if (LowerCase(line).starts_with("retry-after:")) {
            // Kept for the run, which pauses the server that long if the reply is a refusal.
            setRetryAfter(
                std::string(TrimBlanks(std::string_view(line).substr(line.find(':') + 1))));
        }
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
    showState(StateCode(State()));
}

void TMyHTTPCLI::HttpRequestDone(THttpCli*, THttpRequest, std::uint16_t error) {
    LookupFailure failure =
        unusableAddress_ ? LookupFailure::UnusableAddress : FailureFromNetworkError(error);
    if (TransportFailure() != THttpTransportFailure::None) {
        failure = TransportFailure() == THttpTransportFailure::Tls ? LookupFailure::Tls
                                                                   : LookupFailure::ProxyTunnel;
        setFailureDetail(ReasonPhrase());
    }
    finish(failure, error, receivedStatus_);
}

} // namespace zendrel
