// The request side of the HTTP/1.0 client: starting a request, the connection events of its
// socket, the request header and POST body, Abort, and the client's own posted messages.
// Nothing a file or a grid supplies may add a header line or a second request: a request whose
// text would carry a CR, LF or NUL is refused before a byte is sent.
#include "net/HttpProt.h"

#include "net/HttpText.h"
#include "net/SocketErrors.h"

#include <cctype>
#include <istream>

namespace zendrel {

namespace {

constexpr std::uint16_t kUnsafeRequestError = WSAEINVAL;

bool HasLineBreakOrNul(const std::string& s) {
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// The scheme, host and port that credentials belong to.
std::string AuthorityOf(const std::string& url, const std::string& fallbackHost) {
    std::string proto, user, pass, host, port, path;
    SplitUrl(url, proto, user, pass, host, port, path);
    const std::string scheme = UrlScheme(url).empty() ? std::string("http") : UrlScheme(url);
    const char* defaultPort = scheme == "https" ? "443" : "80";
    return scheme + "://" + LowerCase(host.empty() ? fallbackHost : host) + ":" +
           (port.empty() ? std::string(defaultPort) : port);
}

} // namespace

THttpCli::THttpCli(MessageLoop& loop)
    : loop_(loop), window_(std::make_unique<HiddenWindow<THttpCli>>(
                       loop, *this, &THttpCli::HandleWindowMessage)),
      socket_(std::make_unique<TWSocket>(loop)), sendBuffer_(kBufSize) {
    BindSocketEvents();
}

// The socket goes first: closing it may still call back into this client, whose members must
// then be intact. The window goes last, dropping whatever is queued for it.
THttpCli::~THttpCli() {
    socket_.reset();
    window_.reset();
}

void THttpCli::BindSocketEvents() {
    socket_->OnSessionClosed = [this](TWSocket*, std::uint16_t e) { HandleSessionClosed(e); };
    socket_->OnDataAvailable = [this](TWSocket*, std::uint16_t e) { HandleSocketData(e); };
    socket_->OnSessionConnected = [this](TWSocket*, std::uint16_t e) { HandleSessionConnected(e); };
    socket_->OnDataSent = [this](TWSocket*, std::uint16_t e) { HandleDataSent(e); };
    socket_->OnDnsLookupDone = [this](TWSocket*, std::uint16_t e) { HandleDnsLookupDone(e); };
    socket_->OnTlsDone = [this](TWSocket*, std::uint16_t e) { HandleTlsDone(e); };
}

// ---------------------------------------------------------------- triggers

void THttpCli::TriggerCookie() {
    if (OnCookie)
        OnCookie(this);
}
void THttpCli::TriggerSessionConnected() {
    if (OnSessionConnected)
        OnSessionConnected(this);
}
void THttpCli::TriggerRequestHeaderBegin() {
    if (OnRequestHeaderBegin)
        OnRequestHeaderBegin(this);
}
void THttpCli::TriggerRequestHeaderEnd() {
    if (OnRequestHeaderEnd)
        OnRequestHeaderEnd(this);
}
void THttpCli::TriggerHeaderBegin() {
    if (OnHeaderBegin)
        OnHeaderBegin(this);
}
void THttpCli::TriggerHeaderEnd() {
    if (OnHeaderEnd)
        OnHeaderEnd(this);
}
void THttpCli::TriggerDocBegin() {
    if (OnDocBegin)
        OnDocBegin(this);
}
void THttpCli::TriggerDocData(const char* buffer, std::int32_t len) {
    if (OnDocData)
        OnDocData(this, buffer, len);
}
void THttpCli::TriggerDocEnd() {
    if (OnDocEnd)
        OnDocEnd(this);
}
void THttpCli::TriggerSendBegin() {
    if (OnSendBegin)
        OnSendBegin(this);
}
void THttpCli::TriggerSendData(const char* buffer, std::int32_t len) {
    if (OnSendData)
        OnSendData(this, buffer, len);
}
void THttpCli::TriggerSendEnd() {
    if (OnSendEnd)
        OnSendEnd(this);
}

void THttpCli::ChangeHttpState(THttpCliState newState) {
    if (newState == state_)
        return;
    state_ = newState;
    if (OnStateChange)
        OnStateChange(this);
    if (newState == Ready)
        window_->post(WM_HTTPCLI_DONE);
}

// ---------------------------------------------------------------- starting

void THttpCli::GetAsync() {
    DoRequestAsync(rqGet);
}
void THttpCli::PostAsync() {
    DoRequestAsync(rqPost);
}
void THttpCli::HeadAsync() {
    DoRequestAsync(rqHead);
}

void THttpCli::DoRequestAsync(THttpRequest rq) {
    if (state_ != Ready)
        throw EHttpException("HTTP component is busy", 1);
    if (rq == rqPost && !SendStream)
        throw EHttpException("HTTP component has nothing to post", 2);
    ++requestSerial_;
    rcvdHeader_.clear();
    rcvdHeaderBytes_ = 0;
    announcedLength_ = -1;
    relocations_ = 0;
    requestType_ = rq;
    requestDoneError_ = 0;
    socket_->OnSessionClosed = [this](TWSocket*, std::uint16_t e) { HandleSessionClosed(e); };
    ChangeHttpState(NotConnected);
    docName_.clear();
    statusCode_ = 0;
    rcvdCount_ = 0;
    sentCount_ = 0;
    headerLineCount_ = 0;
    bodyDataCount_ = 0;
    contentLength_ = -1;
    allowedToSend_ = false;
    locationFlag_ = false;
    reader_.Reset();
    ResetFraming();
    tunnel_.reset();
    transportFailure_ = THttpTransportFailure::None;
    location_ = URL;
    PrepareTargets();
    if (!RequestTextIsSafe())
        return FailLocally(kUnsafeRequestError, "invalid character in request");
    StartConnection();
}

void THttpCli::PrepareTargets() {
    std::string proto, user, pass, host, port, path;
    targetPortSuffix_.clear();
    if (Proxy.empty()) {
        SplitUrl(URL, proto, user, pass, host, port, requestTarget_);
        docName_ = requestTarget_;
        if (port.empty())
            port = "80";
    } else {
        SplitUrl(URL, proto, user, pass, host, port, path);
        docName_ = path;
        if (!port.empty())
            port = ":" + port;
        targetPortSuffix_ = port;
        requestTarget_ = (proto.empty() ? "http" : proto) + "://" + host + port + path;
    }
    targetHost_ = host;
    if (!user.empty())
        Username = user;
    if (!pass.empty())
        Password = pass;
    authAuthority_ = AuthorityOf(URL, host);
    if (!Proxy.empty()) {
        std::string proxyUser, proxyPass;
        SplitUrl(Proxy, proto, proxyUser, proxyPass, host, port, path);
        if (port.empty())
            port = ProxyPort;
    }
    if (requestTarget_.empty())
        requestTarget_.assign(1, '/'); // plain assignment trips a false -Wrestrict at -O3
    if (docName_.empty() || docName_ == "/") {
        docName_ = "document.htm";
    } else {
        if (docName_.back() == '/')
            docName_.pop_back();
        docName_ = docName_.substr(LastPos("/", docName_), 255);
        docName_ = docName_.substr(0, docName_.find('?'));
    }
    hostName_ = host;
    port_ = port;
    secure_ = UrlScheme(URL) == "https";
    if (secure_)
        PrepareSecureTargets(URL);
}

bool THttpCli::RequestTextIsSafe() const {
    for (const std::string* s :
         {&URL, &Proxy, &ProxyPort, &Sender, &Agent, &Reference, &Cookie, &ContentTypePost}) {
        if (HasLineBreakOrNul(*s))
            return false;
    }
    return true;
}

// A request that ends before it reached the wire still ends from the loop, like any other.
void THttpCli::FailLocally(std::uint16_t error, const std::string& reason) {
    requestDoneError_ = error;
    statusCode_ = 404;
    reasonPhrase_ = reason;
    HandleSessionClosed(0);
}

void THttpCli::StartConnection() {
    socket_->MultiThreaded = MultiThreaded;
    ChangeHttpState(DnsLookup);
    socket_->DnsLookup(hostName_);
}

void THttpCli::CloseConnection() {
    socket_->Close();
}

// ---------------------------------------------------------------- connection events

void THttpCli::HandleDnsLookupDone(std::uint16_t error) {
    if (error != 0) {
        if (state_ == Aborting)
            return;
        requestDoneError_ = error;
        statusCode_ = 404;
        reasonPhrase_ = "can't resolve hostname to IP address";
        return HandleSessionClosed(error);
    }
    ChangeHttpState(DnsLookupDone);
    try {
        socket_->SetAddr(socket_->DnsResult());
        socket_->SetPort(port_);
        socket_->SetProto("tcp");
        socket_->Connect();
    } catch (const std::exception&) {
        int n = socket_->LastError();
        requestDoneError_ = static_cast<std::uint16_t>(n);
        statusCode_ = 404;
        reasonPhrase_ =
            "can't connect: " + WSocketErrorDesc(n) + " (Error #" + std::to_string(n) + ")";
        socket_->Close();
        HandleSessionClosed(0);
    }
}

void THttpCli::HandleSessionConnected(std::uint16_t error) {
    if (error != 0) {
        requestDoneError_ = error;
        statusCode_ = 404;
        reasonPhrase_ = WSocketErrorDesc(error) + " (Error #" + std::to_string(error) + ")";
        return HandleSessionClosed(error);
    }
    if (secure_)
        return StartSecureExchange();
    BeginExchange();
}

// The connection reaches the document's server: the request goes out.
void THttpCli::BeginExchange() {
    ChangeHttpState(Connected);
    TriggerSessionConnected();
    reader_.Reset();
    ResetFraming();
    ChangeHttpState(WaitingHeader);
    try {
        if (requestType_ == rqGet) {
            SendRequestHeader("GET");
        } else if (requestType_ == rqHead) {
            SendRequestHeader("HEAD");
        } else if (requestType_ == rqPost) {
            SendRequestHeader("POST");
            TriggerSendBegin();
            allowedToSend_ = true;
            HandleDataSent(0);
        }
    } catch (...) {
        CloseConnection();
    }
}

void THttpCli::HandleSessionClosed(std::uint16_t error) {
    // A TLS connection that broke off (an alert, a record that is not one) says why.
    if (error != 0 && secure_ && transportFailure_ == THttpTransportFailure::None &&
        !socket_->TlsFailure().empty()) {
        transportFailure_ = THttpTransportFailure::Tls;
        if (requestDoneError_ == 0)
            requestDoneError_ = error;
        reasonPhrase_ = socket_->TlsFailure();
    }
    if (bodyDataCount_ > 0)
        TriggerDocEnd();
    window_->post(WM_HTTPCLI_READY, requestSerial_);
}

void THttpCli::HandleRelocationClosed(std::uint16_t) {
    locationFlag_ = false;
    socket_->OnSessionClosed = [this](TWSocket*, std::uint16_t e) { HandleSessionClosed(e); };
    if (OnLocationChange)
        OnLocationChange(this);
    window_->post(WM_HTTPCLI_RESTART, requestSerial_);
}

// ---------------------------------------------------------------- request

void THttpCli::SendCommand(const std::string& line) {
    if (OnCommand)
        OnCommand(this, line);
    requestStream_ += line;
    requestStream_ += "\r\n";
}

// Credentials for the document's server go only to the server they were given for; a
// relocation elsewhere must not carry them along.
bool THttpCli::MayAuthorize() const {
    if (Username.empty())
        return false;
    return CurrentAuthority() == authAuthority_;
}

std::string THttpCli::CurrentAuthority() const {
    if (secure_)
        return "https://" + LowerCase(targetHost_) + ":" + docPort_;
    if (Proxy.empty())
        return "http://" + LowerCase(targetHost_) + ":" + port_;
    return AuthorityOf(requestTarget_, targetHost_);
}

// HTTP/1.0 requests have always named the host alone; HTTP/1.1 wants the port when it is not
// the default one.
std::string THttpCli::HostHeaderValue() const {
    if (secure_)
        return docPort_ == "443" ? targetHost_ : targetHost_ + ":" + docPort_;
    if (!http11_)
        return targetHost_;
    if (!Proxy.empty())
        return targetHost_ + targetPortSuffix_;
    return port_ == "80" ? targetHost_ : targetHost_ + ":" + port_;
}

void THttpCli::SendRequestHeader(const std::string& method) {
    std::vector<std::string> lines{method + " " + requestTarget_ +
                                   (Http11Now() ? " HTTP/1.1" : " HTTP/1.0")};
    if (!Sender.empty())
        lines.push_back("From: " + Sender);
    if (!Reference.empty())
        lines.push_back("Referer: " + Reference);
    if (method == "POST" && !ContentTypePost.empty())
        lines.push_back("Content-Type: " + ContentTypePost);
    if (!Agent.empty())
        lines.push_back("User-Agent: " + Agent);
    lines.push_back("Host: " + HostHeaderValue());
    if (!Accept.empty())
        lines.push_back("Accept: " + Accept);
    if (Http11Now())
        lines.push_back("Connection: close");
    if (NoCache)
        lines.push_back("Pragma: no-cache");
    if (method == "POST") {
        std::streampos here = SendStream->tellg();
        SendStream->seekg(0, std::ios::end);
        std::streamoff size = SendStream->tellg() - std::streampos(0);
        SendStream->seekg(here);
        lines.push_back("Content-Length: " + std::to_string(size));
    }
    if (ModifiedSince != 0)
        lines.push_back("If-Modified-Since: " + FormatHttpDate(ModifiedSince) + " GMT");
    if (MayAuthorize())
        lines.push_back("Authorization: Basic " + EncodeBase64(Username + ":" + Password));
    // Through a tunnel the request reaches the document's server, which must not see them.
    if (!Proxy.empty() && !ProxyUsername.empty() && !secure_)
        lines.push_back("Proxy-Authorization: Basic " +
                        EncodeBase64(ProxyUsername + ":" + ProxyPassword));
    if (!Cookie.empty())
        lines.push_back("Cookie: " + Cookie);
    for (const std::string& line : lines) {
        if (HasLineBreakOrNul(line)) {
            requestDoneError_ = kUnsafeRequestError;
            statusCode_ = 404;
            reasonPhrase_ = "invalid character in request";
            return CloseConnection();
        }
    }
    requestStream_.clear();
    TriggerRequestHeaderBegin();
    for (const std::string& line : lines)
        SendCommand(line);
    TriggerRequestHeaderEnd();
    SendCommand("");
    socket_->Send(requestStream_.data(), static_cast<int>(requestStream_.size()));
    requestStream_.clear();
}

void THttpCli::HandleDataSent(std::uint16_t) {
    if (!allowedToSend_ || !SendStream)
        return;
    SendStream->read(sendBuffer_.data(), kBufSize);
    auto n = static_cast<std::int32_t>(SendStream->gcount());
    if (n <= 0) {
        allowedToSend_ = false;
        TriggerSendEnd();
        return;
    }
    sentCount_ += n;
    TriggerSendData(sendBuffer_.data(), n);
    socket_->Send(sendBuffer_.data(), n);
}

// ---------------------------------------------------------------- abort and messages

void THttpCli::Abort() {
    if (state_ == Ready) {
        if (socket_->State() != wsClosed)
            CloseConnection();
        return;
    }
    bool wasLookingUp = state_ == DnsLookup;
    tunnel_.reset(); // the socket's own closed event ends the request, not a tunnel report
    ChangeHttpState(Aborting);
    if (wasLookingUp) {
        try {
            socket_->CancelDnsLookup();
        } catch (...) {
        }
        HandleSessionClosed(0);
    } else {
        CloseConnection();
    }
    ChangeHttpState(Ready);
    TriggerDocEnd();
}

void THttpCli::HandleWindowMessage(const Message& m) {
    if (m.msg == WM_HTTPCLI_DONE) {
        if (OnRequestDone)
            OnRequestDone(this, requestType_, requestDoneError_);
    } else if (m.wParam != requestSerial_) {
        return; // left over from a request that has ended; a new one may be running
    } else if (m.msg == WM_HTTPCLI_READY) {
        ChangeHttpState(Ready);
    } else if (m.msg == WM_HTTPCLI_RESTART) {
        HandleRestart();
    }
}

// A restart queued before an Abort must not reopen the request. A failure to restart still
// ends the request, then goes on to the loop's own failure report.
void THttpCli::HandleRestart() {
    if (state_ == Ready || state_ == Aborting)
        return;
    try {
        StartConnection();
    } catch (const std::exception& e) {
        requestDoneError_ = static_cast<std::uint16_t>(WSAEINVAL);
        statusCode_ = 404;
        reasonPhrase_ = e.what();
        HandleSessionClosed(0);
        throw;
    }
}

} // namespace zendrel
