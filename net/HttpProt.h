#pragma once

#include "net/HttpResponseReader.h"
#include "net/ProxyTunnel.h"
#include "net/WSocket.h"
#include "platform/HiddenWindow.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zendrel {

enum THttpCliState : std::uint8_t {
    Ready,
    NotConnected,
    Connected,
    DnsLookup,
    DnsLookupDone,
    WaitingHeader,
    WaitingBody,
    Aborting,
};
enum THttpRequest : std::uint8_t { rqNone, rqGet, rqPost, rqHead };

// Messages the client posts to its own hidden window.
inline constexpr unsigned WM_HTTPCLI_DONE = 1025;
inline constexpr unsigned WM_HTTPCLI_READY = 1026;
inline constexpr unsigned WM_HTTPCLI_RESTART = 1027;

// Raised for misuse of the client and for an over-long header line.
class EHttpException : public std::runtime_error {
public:
    EHttpException(const std::string& msg, int code) : std::runtime_error(msg), ErrorCode(code) {}
    int ErrorCode;
};

// What ended a request before any reply of the document's server could be read, beyond the
// failures every connection has (no such host, refused, reset): an https:// request whose TLS
// handshake or certificate check failed, or whose proxy refused the tunnel.
enum class THttpTransportFailure : std::uint8_t { None, Tls, Tunnel };

class THttpCli;
using THttpNotify = std::function<void(THttpCli* sender)>;
using TOnCommand = std::function<void(THttpCli* sender, const std::string& s)>;
using TDocDataEvent = std::function<void(THttpCli* sender, const char* buffer, std::int32_t len)>;
using THttpRequestDone =
    std::function<void(THttpCli* sender, THttpRequest rqType, std::uint16_t error)>;

// An asynchronous HTTP/1.0 client: one document per request over one connection that the server
// closes at the end of the response. The bytes of the response are read by an
// HttpResponseReader; the client is the request state machine over it and gives the lines their
// meaning. The start returns at once; progress arrives as events from
// the socket and from messages the client posts to itself, so OnRequestDone always comes from
// the loop after the state became Ready. The client may be destroyed from a posted message
// after OnRequestDone or Abort; nothing of it is delivered afterwards.
class THttpCli {
public:
    explicit THttpCli(MessageLoop& loop);
    virtual ~THttpCli();
    THttpCli(const THttpCli&) = delete;
    THttpCli& operator=(const THttpCli&) = delete;

    // --- request properties ---
    std::string URL;
    std::string Proxy;
    std::string ProxyPort = "80";
    std::string Sender;
    std::string Agent;
    std::string Reference;
    std::string Username;
    std::string Password;
    std::string ProxyUsername;
    std::string ProxyPassword;
    bool NoCache = false;
    double ModifiedSince = 0; // days since 1899-12-30; 0 = not sent
    std::string Cookie;
    std::string ContentTypePost = "application/x-www-form-urlencoded";
    std::string Accept; // value of the "Accept: " header; not sent when empty
    bool MultiThreaded = false;

    // --- events (an empty one is skipped) ---
    THttpNotify OnTrace;
    THttpNotify OnSessionConnected;
    THttpNotify OnHeaderData;
    TOnCommand OnCommand;
    THttpNotify OnHeaderBegin;
    THttpNotify OnHeaderEnd;
    THttpNotify OnRequestHeaderBegin;
    THttpNotify OnRequestHeaderEnd;
    THttpNotify OnDocBegin;
    TDocDataEvent OnDocData;
    THttpNotify OnDocEnd;
    THttpNotify OnSendBegin;
    TDocDataEvent OnSendData;
    THttpNotify OnSendEnd;
    THttpNotify OnStateChange;
    THttpRequestDone OnRequestDone;
    THttpNotify OnLocationChange;
    THttpNotify OnCookie;

    // --- read-outs ---
    THttpCliState State() const { return state_; }
    std::int32_t StatusCode() const { return statusCode_; }
    const std::string& ReasonPhrase() const { return reasonPhrase_; }
    std::int32_t ContentLength() const { return contentLength_; }
    // The count announced by the first received header line (of any reply since the request
    // started) whose lower-cased text contains "content-length:": the leading digits of the text
    // after its first colon, trimmed, 0 without digits; -1 while no such line has arrived.
    std::int32_t AnnouncedLength() const { return announcedLength_; }
    const std::string& ContentType() const { return contentType_; }
    const std::vector<std::string>& RcvdHeader() const { return rcvdHeader_; }
    // Body bytes received; 64 bits, as a server may send without end.
    std::int64_t RcvdCount() const { return rcvdCount_; }
    std::int32_t SentCount() const { return sentCount_; }
    const std::string& Location() const { return location_; }
    const std::string& DocName() const { return docName_; }
    std::uint16_t RequestDoneError() const { return requestDoneError_; }
    // Why an https:// request ended early; ReasonPhrase() then says it in words.
    THttpTransportFailure TransportFailure() const { return transportFailure_; }
    std::ostream* RcvdStream = nullptr;
    std::istream* SendStream = nullptr;
    TWSocket& CtrlSocket() { return *socket_; }

    // --- operations ---
    // Starts a GET of URL; raises EHttpException "HTTP component is busy" unless Ready.
    void GetAsync();
    // Starts a POST of SendStream to URL.
    void PostAsync();
    // Starts a HEAD request for URL.
    void HeadAsync();
    // Ends the current request at once; OnRequestDone follows from the loop.
    void Abort();

    // Bounds that keep a hostile server from growing the client without end.
    static constexpr int kMaxRelocations = 50;
    static constexpr std::size_t kMaxHeaderBytes = 256 * 1024;

protected:
    virtual void SendCommand(const std::string& line);
    virtual void StartConnection();
    virtual void CloseConnection();
    virtual void TriggerCookie();
    virtual void TriggerSessionConnected();
    virtual void TriggerRequestHeaderBegin();
    virtual void TriggerRequestHeaderEnd();
    virtual void TriggerHeaderBegin();
    virtual void TriggerHeaderEnd();
    virtual void TriggerDocBegin();
    virtual void TriggerDocData(const char* buffer, std::int32_t len);
    virtual void TriggerDocEnd();
    virtual void TriggerSendBegin();
    virtual void TriggerSendData(const char* buffer, std::int32_t len);
    virtual void TriggerSendEnd();
    void ChangeHttpState(THttpCliState newState);
    // Lets a test start the body count near a boundary instead of sending gigabytes.
    void PresetRcvdCount(std::int64_t count) { rcvdCount_ = count; }
    // Requests as HTTP/1.1 (with "Connection: close") whose replies end at their content length
    // or last chunk, the client then closing the connection itself. Off by default: plain web
    // addresses are fetched with HTTP/1.0 and their replies end only at the close.
    void UseHttp11(bool on) { http11_ = on; }
    bool UsesHttp11() const { return http11_; }

private:
    using ReaderEvent = HttpResponseReader::Event;
    static constexpr int kBufSize = 8193; // one piece of a POST body

    void DoRequestAsync(THttpRequest rq);
    void PrepareTargets();
    bool RequestTextIsSafe() const;
    void FailLocally(std::uint16_t error, const std::string& reason);
    void HandleWindowMessage(const Message& m);
    void HandleRestart();
    void BindSocketEvents();
    void HandleDnsLookupDone(std::uint16_t error);
    void HandleSessionConnected(std::uint16_t error);
    void BeginExchange();
    // https:// requests: a tunnel through the proxy when there is one, then TLS.
    bool Http11Now() const { return http11_ || secure_; }
    void PrepareSecureTargets(const std::string& url);
    void StartSecureExchange();
    void HandleTunnelResult(const TunnelResult& result);
    void StartTlsExchange();
    void HandleTlsDone(std::uint16_t error);
    void FailTransport(THttpTransportFailure kind, std::uint16_t error, const std::string& why);
    std::string SecureOrigin() const; // "https://host[:port]" of the document
    void RelocateSecure(const std::string& value);
    std::string CurrentAuthority() const;
    void HandleDataSent(std::uint16_t error);
    void HandleSessionClosed(std::uint16_t error);
    void HandleRelocationClosed(std::uint16_t error);
    void HandleSocketData(std::uint16_t error);
    void SendRequestHeader(const std::string& method);
    bool MayAuthorize() const;
    std::string HostHeaderValue() const;
    void DeliverReaderEvents();
    void HandleHeaderLine(ReaderEvent e, const std::string& line);
    void HandleHeaderField(ReaderEvent e, const std::string& line);
    void NoteAnnouncedLength(const std::string& line);
    void NoteFramingLength(const std::string& value);
    void ResetFraming();
    void ChooseBodyFraming();
    void EndOfHeader();
    void FailFraming();
    void EndWithFailure(std::uint16_t error, const std::string& reason);
    void DeliverBodyPiece(const char* data, std::int32_t len);
    void Relocate(const std::string& value);
    void FixDocName();

    MessageLoop& loop_;
    std::unique_ptr<HiddenWindow<THttpCli>> window_;
    std::unique_ptr<TWSocket> socket_;
    std::vector<std::string> rcvdHeader_;
    std::size_t rcvdHeaderBytes_ = 0;
    std::string requestStream_;

    THttpCliState state_ = Ready;
    std::int32_t statusCode_ = 0;
    std::string reasonPhrase_;
    std::int32_t contentLength_ = -1;
    std::int32_t announcedLength_ = -1;
    std::string contentType_;
    std::int64_t rcvdCount_ = 0;
    std::int32_t sentCount_ = 0;
    std::string location_;
    std::string docName_;

    std::string hostName_;   // where to connect (the proxy's when there is one)
    std::string targetHost_; // the document's host, sent in "Host: "
    std::string port_;
    std::string targetPortSuffix_; // ":port" of the document through a proxy, or empty
    std::string requestTarget_;
    std::string authAuthority_; // host and port the credentials of the request belong to
    THttpRequest requestType_ = rqNone;
    std::uint16_t requestDoneError_ = 0;
    bool locationFlag_ = false;
    bool allowedToSend_ = false;
    int headerLineCount_ = 0;
    std::int64_t bodyDataCount_ = 0; // pieces of an endless body keep coming
    int relocations_ = 0;
    std::intptr_t requestSerial_ = 0; // tells the messages of one request from the next one's
    std::vector<char> sendBuffer_;
    HttpResponseReader reader_;

    // How the body of the reply being read is framed (HTTP/1.1 only).
    bool http11_ = false;
    std::int64_t framingLength_ = -1; // a valid Content-Length, -1 when none
    bool framingLengthBad_ = false;   // a Content-Length that cannot frame the body
    bool transferCoded_ = false;
    bool chunked_ = false; // the last transfer coding is "chunked"

    // The document being fetched is https://: its port, and the tunnel while it is asked for.
    bool secure_ = false;
    std::string docPort_;
    std::unique_ptr<ProxyTunnel> tunnel_;
    THttpTransportFailure transportFailure_ = THttpTransportFailure::None;
};

} // namespace zendrel
