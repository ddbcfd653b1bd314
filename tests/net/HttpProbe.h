#pragma once

#include "net/HttpProt.h"

#include <string>
#include <vector>

namespace zendrel::test {

// Watches one HTTP client: every event as a short text in order, the body bytes, and whether
// OnRequestDone arrived (and from where).
struct HttpProbe {
    std::vector<std::string> events;
    std::string body;
    int maxPiece = 0;
    int done = 0;
    std::uint16_t doneError = 0;
    bool inCall = false;
    bool doneInsideCall = false;

    explicit HttpProbe(THttpCli& c) {
        c.OnStateChange = [this](THttpCli* s) { events.push_back("state " + Name(s->State())); };
        c.OnHeaderBegin = [this](THttpCli*) { events.push_back("header-begin"); };
        c.OnHeaderEnd = [this](THttpCli*) { events.push_back("header-end"); };
        c.OnDocBegin = [this](THttpCli*) { events.push_back("doc-begin"); };
        c.OnDocEnd = [this](THttpCli*) { events.push_back("doc-end"); };
        c.OnLocationChange = [this](THttpCli* s) { events.push_back("location " + s->Location()); };
        c.OnDocData = [this](THttpCli*, const char* p, std::int32_t len) {
            events.push_back("data " + std::to_string(len));
            body.append(p, static_cast<std::size_t>(len));
            maxPiece = std::max(maxPiece, len);
            if (p[len] != '\0')
                events.push_back("piece not zero-terminated");
        };
        c.OnRequestDone = [this](THttpCli* s, THttpRequest, std::uint16_t e) {
            events.push_back("done " + std::to_string(e) + " in " + Name(s->State()));
            ++done;
            doneError = e;
            doneInsideCall = doneInsideCall || inCall;
        };
    }

    static std::string Name(THttpCliState s) {
        static const char* names[] = {"Ready",         "NotConnected",  "Connected",   "DnsLookup",
                                      "DnsLookupDone", "WaitingHeader", "WaitingBody", "Aborting"};
        return names[s];
    }
};

} // namespace zendrel::test
