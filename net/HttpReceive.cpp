// The response side of the HTTP/1.0 client. It reads what the socket has into one fixed buffer
// of 8193 bytes, cuts header lines at line feeds (a NUL ends the search, as it always has), and
// hands each body reception on at once, followed by one zero byte the length does not count.
// The end of the body is the end of the connection. Memory stays bounded whatever the server
// does: a line longer than the buffer stops reading, the header lines kept over a relocation
// chain are capped, and so is the number of relocations.
#include "net/HttpProt.h"
#include "net/HttpText.h"
#include "net/SocketErrors.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <ostream>

namespace zendrel {

namespace {

constexpr std::uint16_t kHeaderTooLongError = 10040;      // "Message too long"
constexpr std::uint16_t kTooManyRelocationsError = 10062; // the loop-detected error

// A decimal number with optional leading blanks and sign; anything else is a conversion
// failure, raised so that the socket layer absorbs it like any failing data handler.
std::int32_t ToInt(const std::string& s) {
    std::size_t i = s.find_first_not_of(' ');
    bool negative = false;
    if (i != std::string::npos && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    long long v = 0;
    std::size_t digits = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i, ++digits) {
        v = v * 10 + (s[i] - '0');
        if (v > INT_MAX)
            break;
    }
    if (digits == 0 || i != s.size())
        throw std::invalid_argument("'" + s + "' is not a valid integer value");
    return static_cast<std::int32_t>(negative ? -v : v);
}

} // namespace

void THttpCli::HandleSocketData(std::uint16_t) {
    int room = kBufSize - receiveLen_ - 1;
    if (room <= 0)
        throw EHttpException("HTTP line too long", 4);
    int n = socket_->Receive(receiveBuffer_.data() + receiveLen_, room);
    if (requestType_ == rqNone || n <= 0)
        return;
    receiveLen_ += n;
    receiveBuffer_[static_cast<std::size_t>(receiveLen_)] = 0;
    if (state_ == WaitingBody) {
        if (receiveLen_ > 0)
            DeliverBodyPiece(receiveBuffer_.data(), receiveLen_);
        receiveLen_ = 0;
        return;
    }
    DeliverHeldLines();
}

void THttpCli::DeliverHeldLines() {
    while (receiveLen_ > 0) {
        char* buf = receiveBuffer_.data();
        std::size_t searchable = strnlen(buf, static_cast<std::size_t>(receiveLen_));
        auto* lf = static_cast<char*>(std::memchr(buf, '\n', searchable));
        if (!lf)
            return; // keep the bytes for the next reception
        auto lineLen = static_cast<std::size_t>(lf - buf);
        std::size_t textLen = lineLen > 0 && buf[lineLen - 1] == '\r' ? lineLen - 1 : lineLen;
        std::string line(buf, textLen);
        std::size_t rest = static_cast<std::size_t>(receiveLen_) - lineLen - 1;
        std::memmove(buf, lf + 1, rest);
        receiveLen_ = static_cast<int>(rest);
        buf[rest] = 0;
        if (state_ != WaitingHeader && state_ != WaitingBody)
            continue;
        if (next_ == Continuation::HeaderLine)
            HandleHeaderLine(line);
        else
            DeliverBodyPiece(line.c_str(), static_cast<std::int32_t>(line.size()));
    }
}

void THttpCli::HandleHeaderLine(const std::string& line) {
    if (headerLineCount_ == 0)
        TriggerHeaderBegin();
    ++headerLineCount_;
    if (UpperCase(line.substr(0, 6)) == "<HTML>") {
        if (contentType_.empty())
            contentType_ = "text/html";
        ChangeHttpState(WaitingBody);
        next_ = Continuation::BodyPiece;
        TriggerHeaderEnd();
        DeliverBodyPiece(line.c_str(), static_cast<std::int32_t>(line.size()));
        return;
    }
    if (!line.empty()) {
        rcvdHeaderBytes_ += line.size();
        if (rcvdHeaderBytes_ > kMaxHeaderBytes) {
            requestDoneError_ = kHeaderTooLongError;
            reasonPhrase_ = "HTTP header too long";
            receiveLen_ = 0;
            return CloseConnection();
        }
        rcvdHeader_.push_back(line);
        HandleHeaderField(line);
        if (OnHeaderData)
            OnHeaderData(this);
        if (statusCode_ >= 400)
            CloseConnection();
        return;
    }
    if (locationFlag_) {
        TriggerHeaderEnd();
        receiveLen_ = 0;
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

void THttpCli::HandleHeaderField(const std::string& line) {
    if (line.compare(0, 8, "HTTP/1.0") == 0 || line.compare(0, 8, "HTTP/1.1") == 0) {
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
        contentLength_ = ToInt(value);
    } else if (field == "content-type") {
        contentType_ = LowerCase(value);
    } else if (field == "set-cookie") {
        Cookie = value;
        TriggerCookie();
    }
}

void THttpCli::EndOfHeader() {
    FixDocName();
    ChangeHttpState(WaitingBody);
    next_ = Continuation::BodyPiece;
    TriggerHeaderEnd();
    if (receiveLen_ > 0) {
        DeliverBodyPiece(receiveBuffer_.data(), receiveLen_);
        receiveLen_ = 0;
    }
}

void THttpCli::DeliverBodyPiece(const char* data, std::int32_t len) {
    if (bodyDataCount_ == 0)
        TriggerDocBegin();
    ++bodyDataCount_;
    // An endless body must not wrap the count around.
    rcvdCount_ = len > INT32_MAX - rcvdCount_ ? INT32_MAX : rcvdCount_ + len;
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
    if (++relocations_ > kMaxRelocations) {
        requestDoneError_ = kTooManyRelocationsError;
        reasonPhrase_ = "too many relocations";
        receiveLen_ = 0;
        return CloseConnection();
    }
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
            requestTarget_ = "/";
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
