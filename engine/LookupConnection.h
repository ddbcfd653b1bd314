#pragma once

#include "engine/RunSettings.h"
#include "net/HiddenWindow.h"
#include "net/HttpProt.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zendrel {

class MethodTable;
class ResultStore;
class SearchRun;

// One lookup: fetches the gateway page for one result row and reports to the search run. It
// writes the row's progress (state texts arrive through the run, loading texts and seconds are
// written here), enforces the time limit with a one-second timer and, when the request is done,
// hands the page to the reply classification.
class TMyHTTPCLI : public THttpCli {
public:
    // The largest page kept: far above any real reply, so a gateway that streams without end for
    // the whole time limit cannot exhaust memory. What arrived up to here is classified.
    static constexpr std::size_t kMaxReplyBytes = 4 * 1024 * 1024;
    static constexpr unsigned kSecondsTimer = 1;

    // Counts itself in the run's live lookups.
    TMyHTTPCLI(SearchRun& owner, ResultStore& rows, const MethodTable& methods);
    ~TMyHTTPCLI() override;

    std::int32_t methodNumber = 0;
    std::int32_t rowIndex = 0;
    std::size_t row = 0;
    std::string replyText;
    std::int32_t expectedLength = 0;

    // Copies the nine connection-settings values, trimmed, into the request properties.
    void applySettings(const ConnectionSettings& values);
    // Starts the GET of `address`; returns at once.
    void StartLookup(const std::string& address);
    // Seconds counted since the request started (the timer's tag).
    int secondsTag() const { return tag_; }

    void LookupTimerTick();
    void HttpDocData(THttpCli* sender, const char* data, std::int32_t len);
    void HttpHeaderEnd(THttpCli* sender);
    void HttpStateChange(THttpCli* sender);
    void HttpRequestDone(THttpCli* sender, THttpRequest rqType, std::uint16_t error);

    // The State column text code for a client state: Ready 1 … Aborting 8.
    static int StateCode(THttpCliState state);

private:
    void onTimerMessage(const Message& m);
    void setState(const std::string& text);

    SearchRun& owner_;
    ResultStore& rows_;
    const MethodTable& methods_;
    HiddenWindow<TMyHTTPCLI> secondsTimer_;
    int tag_ = 0;
};

using LookupConnection = TMyHTTPCLI;

} // namespace zendrel
