// The https:// side of the HTTP client. The connection goes to the document's server, or to the
// proxy, which is asked for a tunnel to it (CONNECT) with the proxy credentials; TLS then runs
// over that connection, verifying the certificate for the document's host, and only then is the
// request sent, as HTTP/1.1 in origin form. Failures on the way end the request like a failed
// connection, with the reason in words, so that nobody has to guess why a row got no reply.
// A relocation from or to an https:// address is resolved into a whole address and fetched
// afresh; plain http:// relocations keep their own long-standing rules.
#include "net/HttpProt.h"
#include "net/HttpText.h"
#include "net/SocketErrors.h"

namespace zendrel {

namespace {

std::string DirectoryOf(const std::string& path) {
    const std::string noQuery = path.substr(0, path.find('?'));
    const std::size_t slash = noQuery.rfind('/');
    return slash == std::string::npos ? std::string("/") : noQuery.substr(0, slash + 1);
}

} // namespace

void THttpCli::PrepareSecureTargets(const std::string& url) {
    std::string proto, user, pass, host, port, path;
    SplitUrl(url, proto, user, pass, host, port, path);
    targetHost_ = host;
    docPort_ = port.empty() ? std::string("443") : port;
    requestTarget_ = path.empty() ? std::string("/") : path;
    targetPortSuffix_.clear();
    if (Proxy.empty()) {
        hostName_ = host;
        port_ = docPort_;
        return;
    }
    std::string proxyUser, proxyPass, proxyHost, proxyPort, proxyPath;
    SplitUrl(Proxy, proto, proxyUser, proxyPass, proxyHost, proxyPort, proxyPath);
    hostName_ = proxyHost;
    port_ = proxyPort.empty() ? ProxyPort : proxyPort;
}

void THttpCli::StartSecureExchange() {
    if (Proxy.empty())
        return StartTlsExchange();
    tunnel_ = std::make_unique<ProxyTunnel>(*socket_);
    const bool asked = tunnel_->Start(targetHost_, docPort_, ProxyUsername, ProxyPassword,
                                      [this](const TunnelResult& r) { HandleTunnelResult(r); });
    if (!asked) {
        tunnel_.reset();
        FailTransport(THttpTransportFailure::Tunnel, static_cast<std::uint16_t>(WSAEINVAL),
                      "the tunnel cannot be asked for with this host or these credentials");
    }
}

void THttpCli::HandleTunnelResult(const TunnelResult& r) {
    tunnel_.reset(); // allowed from inside its report
    if (r.outcome == TunnelOutcome::Open && r.early.empty())
        return StartTlsExchange();
    const auto error = r.error != 0 ? r.error : static_cast<std::uint16_t>(WSAECONNABORTED);
    FailTransport(THttpTransportFailure::Tunnel, error, DescribeTunnelFailure(r));
}

void THttpCli::StartTlsExchange() {
    try {
        socket_->StartTls(targetHost_, docPort_);
    } catch (const std::exception& e) {
        FailTransport(THttpTransportFailure::Tls, static_cast<std::uint16_t>(WSAECONNABORTED),
                      e.what());
    }
}

// A failed handshake is followed by the socket's closed event, which ends the request.
void THttpCli::HandleTlsDone(std::uint16_t error) {
    if (state_ == Aborting || state_ == Ready)
        return;
    if (error == 0)
        return BeginExchange();
    transportFailure_ = THttpTransportFailure::Tls;
    requestDoneError_ = error;
    statusCode_ = 404;
    reasonPhrase_ = socket_->TlsFailure();
}

void THttpCli::FailTransport(THttpTransportFailure kind, std::uint16_t error,
                             const std::string& why) {
    transportFailure_ = kind;
    requestDoneError_ = error;
    statusCode_ = 404;
    reasonPhrase_ = why;
    if (socket_->State() == wsClosed)
        return HandleSessionClosed(error); // a close the tunnel reported reaches nobody else
    CloseConnection();
}

std::string THttpCli::SecureOrigin() const {
    return "https://" + targetHost_ + (docPort_ == "443" ? std::string() : ":" + docPort_);
}

void THttpCli::RelocateSecure(const std::string& value) {
    std::string absolute = value;
    if (UrlScheme(value).empty() && secure_) {
        const std::string origin = SecureOrigin();
        if (value.starts_with("//"))
            absolute = "https:" + value;
        else if (value.starts_with("/"))
            absolute = origin + value;
        else
            absolute = origin + DirectoryOf(requestTarget_) + value;
    }
    locationFlag_ = true;
    secure_ = UrlScheme(absolute) == "https";
    if (secure_) {
        PrepareSecureTargets(absolute);
        location_ = SecureOrigin() + requestTarget_;
        return;
    }
    // From https:// back to a plain address: fetched the way a plain address is requested.
    std::string proto, user, pass, host, port, path;
    SplitUrl(absolute, proto, user, pass, host, port, path);
    targetHost_ = host;
    if (path.empty())
        path.assign(1, '/');
    if (Proxy.empty()) {
        hostName_ = host;
        port_ = port.empty() ? std::string("80") : port;
        requestTarget_ = path;
    } else {
        targetPortSuffix_ = port.empty() ? std::string() : ":" + port;
        requestTarget_ = "http://" + host + targetPortSuffix_ + path;
    }
    location_ = absolute;
}

} // namespace zendrel
