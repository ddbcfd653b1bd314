#pragma once

#include "net/HttpResponseReader.h"
#include "net/WSocket.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zendrel {

// What became of a request for a tunnel.
enum class TunnelOutcome : std::uint8_t {
    Open,          // the proxy answered 2xx: the socket now reaches the host
    Refused,       // the proxy answered with another status
    Closed,        // the connection ended before the proxy's header did
    HeaderTooLong, // the proxy's header went on past the bound
    NotHttp,       // the proxy's answer is not an HTTP status line and header
};

struct TunnelResult {
    TunnelOutcome outcome = TunnelOutcome::Closed;
    int status = 0;          // the proxy's status code; 0 when none arrived
    std::uint16_t error = 0; // the socket error of a close; 0 for an orderly one
    std::string reason;      // the proxy's reason phrase, or what went wrong
    std::string early;       // bytes the proxy sent after its header (normally none)
};

// What went wrong with a tunnel that did not open, in words ("proxy refused the tunnel (403
// Forbidden)").
std::string DescribeTunnelFailure(const TunnelResult& result);

// Asks an HTTP proxy, over a connected socket, for a tunnel to host:port (CONNECT) and reads its
// answer with the response reader, within a bounded header size. While it runs it holds the
// socket's OnDataAvailable and OnSessionClosed; it gives them back before it reports, once, from
// the socket's events, and then leaves the socket as it is (the owner closes a refused one). It
// knows nothing of the HTTP client, so any lookup that needs a tunnel can use it.
class ProxyTunnel {
public:
    using Report = std::function<void(const TunnelResult& result)>;

    static constexpr std::size_t kMaxHeaderBytes = 16 * 1024;

    explicit ProxyTunnel(TWSocket& socket);
    // Gives the socket's events back when still running; no report follows.
    ~ProxyTunnel();
    ProxyTunnel(const ProxyTunnel&) = delete;
    ProxyTunnel& operator=(const ProxyTunnel&) = delete;

    // Sends "CONNECT host:port", with Basic proxy authorization when `user` is not empty, and
    // reports through `report`. False, with nothing sent and no report, when the socket is not
    // connected, when a tunnel is already being asked for, or when the host or port is empty or
    // holds a blank or control character, or the credentials hold a CR, LF or NUL. The tunnel
    // may be destroyed from inside `report`.
    bool Start(const std::string& host, const std::string& port, const std::string& user,
               const std::string& password, Report report);
    // Gives the socket's events back without a report (the owner's time limit ran out).
    void Cancel();
    bool Running() const { return running_; }

private:
    void HandleData();
    void HandleClosed(std::uint16_t error);
    // Reads what the reader holds, reporting when the header is complete or unacceptable.
    void ReadHeader();
    bool TakeStatusLine(const std::string& line);
    void GiveEventsBack();
    void Finish(TunnelResult result);

    TWSocket& socket_;
    HttpResponseReader reader_;
    TDataAvailable ownerData_;
    TSessionClosed ownerClosed_;
    Report report_;
    bool running_ = false;
    std::size_t headerBytes_ = 0;
    int status_ = 0;
    std::string reason_;
};

} // namespace zendrel
