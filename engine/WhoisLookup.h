#pragma once

#include "engine/RowLookup.h"
#include "lookup/WhoisAddress.h"
#include "net/ProxyTunnel.h"
#include "net/WSocket.h"
#include "platform/HiddenWindow.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace zendrel {

// The lookup of a row on a classic WHOIS server (port 43): it connects, sends the query line
// with CR LF, reads until the server closes and hands the text to the shared row-lookup part,
// which shows it arriving and classifies it like a web page. The row sees the same state codes
// as a web lookup: look-up, connecting, connected, waiting for the reply, receiving, ready.
// With a proxy in the connection settings the query goes through a tunnel the proxy opens to
// the server (CONNECT), as web lookups of https:// addresses do.
class TWhoisLookup final : public RowLookup {
public:
    TWhoisLookup(const LookupContext& context, LookupRequest request);
    ~TWhoisLookup() override;

    void abort() override;

protected:
    void begin() override;

private:
    static constexpr unsigned kMsgEnd = WM_USER + 1;

    void bindSocket();
    void onDnsLookupDone(std::uint16_t error);
    void onConnected(std::uint16_t error);
    void openTunnel();
    void onTunnel(const TunnelResult& result);
    void sendQuery();
    void onData();
    void onClosed(std::uint16_t error);
    // Ends the transfer once, whatever reports it first; the end reaches the run from the loop.
    void end(LookupFailure failure, int error);
    void onMessage(const Message& m);

    std::optional<WhoisAddress> address_;
    HiddenWindow<TWhoisLookup> window_;
    std::unique_ptr<TWSocket> socket_;
    std::unique_ptr<ProxyTunnel> tunnel_;
    std::string proxyHost_, proxyPort_; // empty host: a direct connection
    bool receiving_ = false;
    bool ended_ = false;
    LookupFailure failure_ = LookupFailure::None;
    int error_ = 0;
};

} // namespace zendrel
