// A port-43 lookup. The server answers one query per connection and ends its reply by closing,
// so the reply is whatever arrived before the close (or before the time limit, or the cap the
// shared part keeps). NUL bytes are dropped: the reply is read as text, and a server that sends
// them must not hide what follows.
#include "engine/WhoisLookup.h"

#include "lookup/TextRules.h"
#include "net/HttpText.h"
#include "net/SocketErrors.h"
#include "platform/MessageLoop.h"

#include <algorithm>
#include <array>

namespace zendrel {

namespace {

// The row's State codes, as the web lookup reports its client's states.
constexpr int kReady = 1, kNotConnected = 2, kConnected = 3, kLookingUp = 4, kConnecting = 5,
              kWaitingReply = 6, kReceiving = 7;

} // namespace

TWhoisLookup::TWhoisLookup(const LookupContext& context, LookupRequest request)
    : RowLookup(context, std::move(request)),
      window_(context.loop, *this, &TWhoisLookup::onMessage),
      socket_(std::make_unique<TWSocket>(context.loop)) {
    bindSocket();
}

TWhoisLookup::~TWhoisLookup() {
    // The socket's events must not reach a lookup being torn down.
    socket_->OnDnsLookupDone = nullptr;
    socket_->OnSessionConnected = nullptr;
    socket_->OnDataAvailable = nullptr;
    socket_->OnSessionClosed = nullptr;
    socket_.reset();
}

void TWhoisLookup::bindSocket() {
    socket_->OnDnsLookupDone = [this](TWSocket*, std::uint16_t e) { onDnsLookupDone(e); };
    socket_->OnSessionConnected = [this](TWSocket*, std::uint16_t e) { onConnected(e); };
    socket_->OnDataAvailable = [this](TWSocket*, std::uint16_t) { onData(); };
    socket_->OnSessionClosed = [this](TWSocket*, std::uint16_t e) { onClosed(e); };
}

void TWhoisLookup::begin() {
    address_ = ParseWhoisAddress(request().address);
    if (!address_ || !IsSendableWhoisQuery(address_->query))
        return end(LookupFailure::UnusableAddress, 0);
    const ConnectionSettings& c = request().connection;
    if (!TrimBlanks(c[0]).empty()) {
        std::string proto, user, pass, path;
        SplitUrl(std::string(TrimBlanks(c[0])), proto, user, pass, proxyHost_, proxyPort_, path);
        if (proxyPort_.empty())
            proxyPort_ =
                TrimBlanks(c[1]).empty() ? std::string("80") : std::string(TrimBlanks(c[1]));
    }
    showState(kNotConnected);
    showState(kLookingUp);
    try {
        socket_->DnsLookup(proxyHost_.empty() ? address_->host : proxyHost_);
    } catch (const std::exception&) {
        end(LookupFailure::UnusableAddress, 0);
    }
}

void TWhoisLookup::onDnsLookupDone(std::uint16_t error) {
    if (ended_)
        return;
    if (error != 0)
        return end(FailureFromNetworkError(error), error);
    showState(kConnecting);
    try {
        socket_->SetAddr(socket_->DnsResult());
        socket_->SetPort(proxyHost_.empty() ? address_->port : proxyPort_);
        socket_->SetProto("tcp");
        socket_->Connect();
    } catch (const std::exception&) {
        const int n = socket_->LastError();
        end(FailureFromNetworkError(n == 0 ? WSAEINVAL : n), n);
    }
}

void TWhoisLookup::onConnected(std::uint16_t error) {
    if (ended_)
        return;
    if (error != 0)
        return end(FailureFromNetworkError(error), error);
    showState(kConnected);
    if (!proxyHost_.empty())
        return openTunnel();
    sendQuery();
}

void TWhoisLookup::openTunnel() {
    const ConnectionSettings& c = request().connection;
    tunnel_ = std::make_unique<ProxyTunnel>(*socket_);
    const bool asked = tunnel_->Start(address_->host, address_->port, std::string(TrimBlanks(c[7])),
                                      std::string(TrimBlanks(c[8])),
                                      [this](const TunnelResult& r) { onTunnel(r); });
    if (!asked) {
        tunnel_.reset();
        setFailureDetail("the tunnel cannot be asked for with these proxy credentials");
        end(LookupFailure::ProxyTunnel, WSAEINVAL);
    }
}

void TWhoisLookup::onTunnel(const TunnelResult& r) {
    tunnel_.reset(); // allowed from inside its report
    if (r.outcome == TunnelOutcome::Open) {
        sendQuery();
        if (!r.early.empty())
            received(r.early); // a server that speaks first; kept as part of its reply
        return;
    }
    setFailureDetail(DescribeTunnelFailure(r));
    end(LookupFailure::ProxyTunnel, r.error != 0 ? r.error : WSAECONNABORTED);
}

void TWhoisLookup::sendQuery() {
    const std::string line = address_->query + "\r\n";
    socket_->SendStr(line);
    showState(kWaitingReply);
}

void TWhoisLookup::onData() {
    std::array<char, 8192> buffer;
    const int n = socket_->Receive(buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0 || ended_)
        return;
    if (!receiving_) {
        receiving_ = true;
        showState(kReceiving);
    }
    std::string_view piece(buffer.data(), static_cast<std::size_t>(n));
    if (piece.find('\0') == std::string_view::npos)
        return received(piece);
    std::string text(piece);
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    received(text);
}

void TWhoisLookup::onClosed(std::uint16_t error) {
    end(FailureFromNetworkError(error), error);
}

void TWhoisLookup::abort() {
    if (ended_)
        return;
    end(LookupFailure::None, 0);
}

void TWhoisLookup::end(LookupFailure failure, int error) {
    if (ended_)
        return;
    ended_ = true;
    tunnel_.reset();
    failure_ = failure;
    error_ = error;
    // Also forgets a name look-up still under way; its late answer is ignored above.
    socket_->OnSessionClosed = nullptr;
    socket_->Abort();
    // "Ready" is queued before the end, so the verdict written at the end is what stays.
    showState(kReady);
    window_.post(kMsgEnd);
}

void TWhoisLookup::onMessage(const Message& m) {
    if (m.msg != kMsgEnd)
        return;
    finish(failure_, error_, 0);
}

} // namespace zendrel
