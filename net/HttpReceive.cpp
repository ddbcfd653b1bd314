// The response side of the client: what the reader cuts out of the received bytes is given its
// meaning here (status, fields, relocation, the end of the header), and body pieces are passed
// on at once. An HTTP/1.0 reply ends at the close; an HTTP/1.1 one at its content length or last
// chunk, after which the client closes. Memory stays bounded whatever the server does: a line
// longer than the buffer stops reading, the header lines kept over a relocation chain are capped,
// and so is the number of relocations.
#include "net/HttpProt.h"
#include "net/HttpText.h"
#include "net/SocketErrors.h"
#include "platform/IntegerText.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <ostream>

namespace zendrel {

namespace {

constexpr std::uint16_t kHeaderTooLongError = 10040;      // "Message too long"
constexpr std::uint16_t kTooManyRelocationsError = 10062; // the loop-detected error
constexpr std::uint16_t kUnfetchableRelocationError = WSAEINVAL;
constexpr std::uint64_t kMaxFramingLength = UINT64_MAX / 16;

// HTTP's optional whitespace: blanks and tabs.
std::string_view TrimOptionalWhitespace(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// A field value without the blanks and tabs HTTP allows after it.
std::string WithoutTrailingBlanks(const std::string& value) {
    const std::size_t last = value.find_last_not_of(" \t");
    return last == std::string::npos ? std::string() : value.substr(0, last + 1);
}

bool LastCodingIsChunked(const std::string& value) {
    std::string_view v = value;
    const std::size_t comma = v.rfind(',');
    if (comma != std::string_view::npos)
        v = v.substr(comma + 1);
    return EqualsNoCase(TrimOptionalWhitespace(v), "chunked");
}

// A decimal number with optional leading blanks and sign; anything else is a conversion
// failure, raised so that the socket layer absorbs it like any failing data handler.
std::int32_t ToInt(const std::string& s) {
    std::size_t i = std::min(s.find_first_not_of(' '), s.size());
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    const DigitRun run = ReadDigits(std::string_view(s).substr(i), 10, INT_MAX);
    if (run.length == 0 || i + run.length != s.size() || run.value > INT_MAX)
        throw std::invalid_argument("'" + s + "' is not a valid integer value");
    const auto v = static_cast<std::int32_t>(run.value);
    return negative ? -v : v;
}

} // namespace

void THttpCli::HandleSocketData(std::uint16_t) {
    const int room = reader_.Room();
    if (room <= 0)
        throw EHttpException("HTTP line too long", 4);
    int n = socket_->Receive(reader_.Space(), room);
    if (requestType_ == rqNone || n <= 0)
        return;
    reader_.Commit(n);
    DeliverReaderEvents();
}

void THttpCli::DeliverReaderEvents() {
    for (;;) {
        const ReaderEvent e = reader_.Next();
        if (e == ReaderEvent::NeedMore)
            return;
        if (e == ReaderEvent::Error)
            return FailFraming();
        if (e == ReaderEvent::BodyEnd)
            return CloseConnection(); // the closed event ends the request as usual
        // Lines cut out of the buffer count only while a reply is awaited.
        if (reader_.LastWasLine() && state_ != WaitingHeader && state_ != WaitingBody)
            continue;
        const std::string_view text = reader_.Text();
        if (e == ReaderEvent::BodyPiece)
            DeliverBodyPiece(text.data(), static_cast<std::int32_t>(text.size()));
        else
            HandleHeaderLine(e, std::string(text));
    }
}

void THttpCli::HandleHeaderLine(ReaderEvent e, const std::string& line) {
    if (headerLineCount_ == 0)
        TriggerHeaderBegin();
    ++headerLineCount_;
    if (e == ReaderEvent::HtmlStart) {
        if (contentType_.empty())
            contentType_ = "text/html";
        ChangeHttpState(WaitingBody);
        TriggerHeaderEnd();
        DeliverBodyPiece(line.c_str(), static_cast<std::int32_t>(line.size()));
        return;
    }
    if (e != ReaderEvent::HeaderEnd) {
        rcvdHeaderBytes_ += line.size();
        if (rcvdHeaderBytes_ > kMaxHeaderBytes)
            return EndWithFailure(kHeaderTooLongError, "HTTP header too long");
        rcvdHeader_.push_back(line);
        NoteAnnouncedLength(line);
        HandleHeaderField(e, line);
        if (OnHeaderData)
            OnHeaderData(this);
        // An HTTP/1.0 error page has always ended the transfer; an HTTP/1.1 reply's body (an
        // RDAP error object says whether a name is free or blocked) is read to its end.
        if (statusCode_ >= 400 && !Http11Now())
            CloseConnection();
        return;
    }
    if (Http11Now() && statusCode_ >= 100 && statusCode_ < 200)
        return reader_.ReadHeaderAgain(); // an interim reply; the real one follows
    if (locationFlag_) {
        TriggerHeaderEnd();
        reader_.Discard();
        headerLineCount_ = 0;
        bodyDataCount_ = 0;
        socket_->OnSessionClosed = [this](TWSocket*, std::uint16_t e) {
            HandleRelocationClosed(e);
        };
        CloseConnection();
        return;
    }
    EndOfHeader();
}

void THttpCli::HandleHeaderField(ReaderEvent e, const std::string& line) {
    if (e == ReaderEvent::StatusLine) {
        ResetFraming();
        statusCode_ = ToInt(line.size() > 9 ? line.substr(9, 3) : std::string());
        reasonPhrase_ = line.size() > 13 ? line.substr(13) : std::string();
        return;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string::npos)
        return;
    std::string field = LowerCase(line.substr(0, colon));
    std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : std::string();
    if (field == "location") {
        Relocate(value);
    } else if (field == "content-length") {
        NoteFramingLength(line.substr(colon + 1));
        if (!Http11Now())
            contentLength_ = ToInt(WithoutTrailingBlanks(value));
    } else if (field == "transfer-encoding") {
        transferCoded_ = true;
        chunked_ = LastCodingIsChunked(line.substr(colon + 1));
    } else if (field == "content-type") {
        contentType_ = LowerCase(value);
    } else if (field == "set-cookie") {
        Cookie = value;
        TriggerCookie();
    }
}

// The lookup shows its progress against this count, read by its own long-standing rule.
void THttpCli::NoteAnnouncedLength(const std::string& line) {
    if (announcedLength_ >= 0 || LowerCase(line).find("content-length:") == std::string::npos)
        return;
    announcedLength_ =
        ReadLeadingNumber(TrimBlanks(std::string_view(line).substr(line.find(':') + 1)));
}

// Only a plain count frames a body; a list, a sign or two different counts leave the body to
// end at the close.
void THttpCli::NoteFramingLength(const std::string& value) {
    const std::string_view v = TrimOptionalWhitespace(value);
    const DigitRun run = ReadDigits(v, 10, kMaxFramingLength);
    if (run.length == 0 || run.length != v.size() || run.value > kMaxFramingLength ||
        (framingLength_ >= 0 && static_cast<std::uint64_t>(framingLength_) != run.value)) {
        framingLengthBad_ = true;
        return;
    }
    framingLength_ = static_cast<std::int64_t>(run.value);
    if (Http11Now()) // read by HTTP's own rule: never a failure inside the data event
        contentLength_ = static_cast<std::int32_t>(std::min<std::uint64_t>(run.value, INT32_MAX));
}

void THttpCli::ResetFraming() {
    framingLength_ = -1;
    framingLengthBad_ = false;
    transferCoded_ = false;
    chunked_ = false;
}

void THttpCli::ChooseBodyFraming() {
    if (!Http11Now())
        return; // until the close, as always
    if (requestType_ == rqHead || statusCode_ == 204 || statusCode_ == 304)
        return reader_.ReadBodyOfLength(0);
    if (transferCoded_) {
        if (chunked_)
            reader_.ReadChunkedBody();
        return;
    }
    if (framingLength_ >= 0 && !framingLengthBad_)
        reader_.ReadBodyOfLength(static_cast<std::uint64_t>(framingLength_));
}

void THttpCli::EndOfHeader() {
    FixDocName();
    ChooseBodyFraming();
    ChangeHttpState(WaitingBody);
    TriggerHeaderEnd();
    // What the reader still holds follows as the first body piece.
}

// A line too long for the buffer is refused at the next reception, as it always was; a body
// whose chunks cannot be read ends the request with what came before.
void THttpCli::FailFraming() {
    if (reader_.failure() == HttpResponseReader::Failure::LineTooLong)
        return;
    EndWithFailure(static_cast<std::uint16_t>(WSAECONNABORTED), "malformed chunked body");
}

void THttpCli::EndWithFailure(std::uint16_t error, const std::string& reason) {
    requestDoneError_ = error;
    reasonPhrase_ = reason;
    reader_.Discard();
    CloseConnection();
}

void THttpCli::DeliverBodyPiece(const char* data, std::int32_t len) {
    if (bodyDataCount_ == 0)
        TriggerDocBegin();
    ++bodyDataCount_;
    rcvdCount_ += len;
    TriggerDocData(data, len);
    if (RcvdStream)
        RcvdStream->write(data, len);
}

void THttpCli::FixDocName() {
    std::size_t dot = LastPos(".", docName_);
    std::string ext = dot == 0 ? std::string() : LowerCase(docName_.substr(dot - 1));
    if (ext == ".exe" && contentType_ == "text/html")
        docName_ = ReplaceExt(docName_, "htm");
}

void THttpCli::Relocate(const std::string& value) {
    if (++relocations_ > kMaxRelocations)
        return EndWithFailure(kTooManyRelocationsError, "too many relocations");
    const std::string scheme = UrlScheme(value);
    if (!scheme.empty() && scheme != "http" && scheme != "https") {
        // Nothing is sent for an address this client cannot fetch, least of all credentials.
        statusCode_ = 404;
        return EndWithFailure(kUnfetchableRelocationError, "relocation to an unusable address");
    }
    if (secure_ || scheme == "https")
        return RelocateSecure(value);
    locationFlag_ = true;
    std::string proto, user, pass, host, port, path;
    // An absolute address without a path names the server's root, not a document beside ours.
    bool absolute = value.find("://") != std::string::npos;
    if (!Proxy.empty()) {
        // Through a proxy the document's port travels in the target, so it is kept with the host.
        SplitUrl(value, proto, user, pass, host, port, path);
        if (proto.empty())
            proto = "http";
        if (path.empty() && absolute && !host.empty())
            requestTarget_ = value + "/";
        else if (path.empty())
            requestTarget_ = proto + "://" + targetHost_ + targetPortSuffix_ + "/" + host;
        else if (host.empty())
            requestTarget_ = proto + "://" + targetHost_ + targetPortSuffix_ + path;
        else
            requestTarget_ = value;
    } else if (!value.empty() && value[0] == '/') {
        requestTarget_ = value;
    } else {
        SplitUrl(value, proto, user, pass, hostName_, port, requestTarget_);
        if (!port.empty())
            port_ = port;
        if (proto.empty())
            proto = "http";
        if (requestTarget_.empty() && absolute && !hostName_.empty())
            requestTarget_.assign(1, '/'); // plain assignment trips a false -Wrestrict at -O3
        if (requestTarget_.empty()) {
            requestTarget_ = proto + "://" + targetHost_ + "/" + hostName_;
            hostName_ = targetHost_;
        } else if (hostName_.empty()) {
            requestTarget_ = proto + "://" + targetHost_ + requestTarget_;
            hostName_ = targetHost_;
        } else {
            targetHost_ = hostName_;
        }
    }
    location_ = requestTarget_;
}

} // namespace zendrel
