#pragma once

#include "engine/RowLookup.h"
#include "net/HttpProt.h"

#include <cstdint>

namespace zendrel {

// The lookup of a row on a web gateway: an HTTP client that fetches the gateway page at the
// row's address with the connection settings, reports its client states as the row's State
// and hands the page's body to the shared row-lookup part.
class TMyHTTPCLI final : public THttpCli, public RowLookup {
public:
    TMyHTTPCLI(const LookupContext& context, LookupRequest request);
    ~TMyHTTPCLI() override;

    // Copies the nine connection-settings values, trimmed, into the request properties.
    void applySettings(const ConnectionSettings& values);
    void abort() override { Abort(); }

    void HttpDocData(THttpCli* sender, const char* data, std::int32_t len);
    void HttpHeaderData(THttpCli* sender);
    void HttpHeaderEnd(THttpCli* sender);
    void HttpStateChange(THttpCli* sender);
    void HttpRequestDone(THttpCli* sender, THttpRequest rqType, std::uint16_t error);

    // The State column text code for a client state: Ready 1 … Aborting 8.
    static int StateCode(THttpCliState state);

protected:
    // The GET of the row's address; an address the client cannot start on ends at once.
    void begin() override;

private:
    bool unusableAddress_ = false;
    // The status of the last status line that arrived; 0 while none has. The client reports
    // 404 for failures of its own (no such host, refused connection), which no RDAP line may
    // take for the registry's "no such name".
    int receivedStatus_ = 0;
};

} // namespace zendrel
