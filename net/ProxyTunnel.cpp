// A CONNECT tunnel through an HTTP proxy. The request is one line and a Host line (plus the
// proxy's credentials), built only from text that cannot add a line of its own. The answer is
// read as an HTTP header that must begin with a status line; it ends at its blank line, and
// whatever the proxy sent after it already belongs to the tunnelled connection, so it is handed
// over with the report rather than dropped. A proxy that talks without end is cut off at
// kMaxHeaderBytes, one that never answers is left to the owner's time limit.
#include "net/ProxyTunnel.h"

#include "net/HttpText.h"

#include <algorithm>

namespace zendrel {

namespace {

bool IsPlainToken(const std::string& s) {
    return !s.empty() && std::none_of(s.begin(), s.end(),
                                      [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

bool HasLineBreakOrNul(const std::string& s) {
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

} // namespace

ProxyTunnel::ProxyTunnel(TWSocket& socket) : socket_(socket) {}

ProxyTunnel::~ProxyTunnel() {
    if (running_)
        GiveEventsBack();
}

bool ProxyTunnel::Start(const std::string& host, const std::string& port, const std::string& user,
                        const std::string& password, Report report) {
    if (running_ || socket_.State() != wsConnected || !IsPlainToken(host) || !IsPlainToken(port) ||
        HasLineBreakOrNul(user) || HasLineBreakOrNul(password))
        return false;
    const std::string authority = host + ":" + port;
    std::string request = "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n";
    if (!user.empty())
        request += "Proxy-Authorization: Basic " + EncodeBase64(user + ":" + password) + "\r\n";
    request += "\r\n";

    reader_.Reset();
    headerBytes_ = 0;
    status_ = 0;
    reason_.clear();
    report_ = std::move(report);
    ownerData_ = std::move(socket_.OnDataAvailable);
    ownerClosed_ = std::move(socket_.OnSessionClosed);
    socket_.OnDataAvailable = [this](TWSocket*, std::uint16_t) { HandleData(); };
    socket_.OnSessionClosed = [this](TWSocket*, std::uint16_t e) { HandleClosed(e); };
    running_ = true;
    socket_.SendStr(request);
    return true;
}

void ProxyTunnel::Cancel() {
    if (!running_)
        return;
    GiveEventsBack();
    report_ = nullptr;
}

void ProxyTunnel::GiveEventsBack() {
    running_ = false;
    socket_.OnDataAvailable = std::move(ownerData_);
    socket_.OnSessionClosed = std::move(ownerClosed_);
    ownerData_ = nullptr;
    ownerClosed_ = nullptr;
}

void ProxyTunnel::HandleData() {
    const int room = reader_.Room();
    if (room <= 0)
        return Finish({TunnelOutcome::HeaderTooLong, status_, 0, "proxy header too long", {}});
    const int n = socket_.Receive(reader_.Space(), room);
    if (n <= 0)
        return; // a close is reported by its own event
    reader_.Commit(n);
    ReadHeader();
}

void ProxyTunnel::HandleClosed(std::uint16_t error) {
    Finish({TunnelOutcome::Closed, status_, error, "proxy closed the connection", {}});
}

void ProxyTunnel::ReadHeader() {
    using Event = HttpResponseReader::Event;
    for (;;) {
        const Event e = reader_.Next();
        if (e == Event::NeedMore)
            return;
        const std::string line(reader_.Text());
        const bool first = headerBytes_ == 0;
        headerBytes_ += line.size() + 1;
        if (e == Event::Error || headerBytes_ > kMaxHeaderBytes) {
            return Finish({TunnelOutcome::HeaderTooLong, status_, 0, "proxy header too long", {}});
        }
        if (first ? !TakeStatusLine(line) : e != Event::HeaderLine && e != Event::HeaderEnd) {
            return Finish({TunnelOutcome::NotHttp, status_, 0, "not an HTTP answer", {}});
        }
        if (e == Event::HeaderEnd) {
            const bool open = status_ >= 200 && status_ < 300;
            return Finish({open ? TunnelOutcome::Open : TunnelOutcome::Refused, status_, 0, reason_,
                           open ? reader_.TakeHeld() : std::string()});
        }
    }
}

// "HTTP/1.x NNN reason": three digits, then the end or a blank.
bool ProxyTunnel::TakeStatusLine(const std::string& line) {
    if (!line.starts_with("HTTP/1.0 ") && !line.starts_with("HTTP/1.1 "))
        return false;
    if (line.size() < 12 || (line.size() > 12 && line[12] != ' '))
        return false;
    int status = 0;
    for (std::size_t i = 9; i < 12; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return false;
        status = status * 10 + (line[i] - '0');
    }
    status_ = status;
    reason_ = line.size() > 13 ? line.substr(13) : std::string();
    return true;
}

void ProxyTunnel::Finish(TunnelResult result) {
    GiveEventsBack();
    Report report = std::move(report_);
    report_ = nullptr;
    if (report)
        report(result); // may destroy this tunnel: nothing of it is used afterwards
}

std::string DescribeTunnelFailure(const TunnelResult& r) {
    if (r.outcome == TunnelOutcome::Open)
        return "proxy sent bytes of its own into the tunnel";
    std::string why = "proxy refused the tunnel";
    if (r.status != 0)
        return why + " (" + std::to_string(r.status) + (r.reason.empty() ? "" : " " + r.reason) +
               ")";
    return r.reason.empty() ? why : why + ": " + r.reason;
}

} // namespace zendrel
