// The socket layer: a non-blocking IPv4 descriptor watched by the loop, presented through the
// notification model the rest of the program was written for. Readiness reports are translated
// into connect, read, write and close notifications and handled in that order; a read report is
// not repeated until the owner has read (as the original interface does), so an owner that
// stops reading is not flooded, yet it still hears of the peer's close.
#include "net/WSocket.h"

#include "net/SocketAddress.h"
#include "net/SocketErrors.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel {

namespace {

int SocketErrorOf(int fd) {
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
        err = errno;
    return WinsockErrorFromErrno(err);
}

} // namespace

TWSocket::TWSocket(MessageLoop& loop)
    : loop_(loop), window_(loop, *this, &TWSocket::HandleWindowMessage) {
    ResetDefaults();
}

TWSocket::~TWSocket() {
    destroying_ = true;
    try {
        CancelDnsLookup();
    } catch (...) {
    }
    if (state_ != wsClosed) {
        try {
            Close();
        } catch (...) {
        }
    }
    DropHandle();
}

// ---------------------------------------------------------------- properties

void TWSocket::SetAddr(const std::string& value) {
    if (state_ != wsClosed) {
        RaiseException("Cannot change Addr if not closed");
        return;
    }
    if (value == addr_ && addrAssigned_)
        return;
    addr_ = TrimProperty(value);
    addrAssigned_ = !addr_.empty();
    addrResolved_ = false;
}

void TWSocket::SetPort(const std::string& value) {
    if (state_ != wsClosed) {
        RaiseException("Cannot change Port if not closed");
        return;
    }
    if (value == port_ && portAssigned_)
        return;
    port_ = TrimProperty(value);
    portAssigned_ = !port_.empty();
    portResolved_ = false;
}

void TWSocket::SetProto(const std::string& value) {
    if (state_ != wsClosed) {
        RaiseException("Cannot change Proto if not closed");
        return;
    }
    if (value == proto_ && protoAssigned_)
        return;
    proto_ = TrimProperty(value);
    protoAssigned_ = !proto_.empty();
    protoResolved_ = false;
}

void TWSocket::SetLocalPort(const std::string& value) {
    if (state_ != wsClosed) {
        RaiseException("Cannot change LocalPort if not closed");
        return;
    }
    localPort_ = value;
    localPortResolved_ = false;
}

std::int32_t TWSocket::RcvdCount() {
    int n = WaitingBytes();
    if (n < 0)
        SocketError("ioctlSocket", fd_ < 0 ? WSAENOTSOCK : WinsockErrorFromErrno(errno));
    return n;
}

void TWSocket::ResetDefaults() {
    addr_.clear();
    port_.clear();
    proto_ = "tcp";
    localPort_.assign(1, '0'); // a one-character literal trips a false -Wrestrict at -O3
    addrAssigned_ = portAssigned_ = false;
    protoAssigned_ = true;
    addrResolved_ = portResolved_ = protoResolved_ = localPortResolved_ = false;
    dnsResult_.clear();
    dnsResultList_.clear();
    readCount_ = 0;
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
    SendFlags = wsSendNormal;
    closeInvoked_ = false;
    readEnabled_ = true;
    state_ = wsClosed;
}

// ---------------------------------------------------------------- events

void TWSocket::TriggerDataAvailable(std::uint16_t e) {
    if (OnDataAvailable)
        OnDataAvailable(this, e);
}
void TWSocket::TriggerSessionConnected(std::uint16_t e) {
    if (OnSessionConnected)
        OnSessionConnected(this, e);
}
void TWSocket::TriggerSessionClosed(std::uint16_t e) {
    if (OnSessionClosed)
        OnSessionClosed(this, e);
}
void TWSocket::TriggerDataSent(std::uint16_t e) {
    if (OnDataSent)
        OnDataSent(this, e);
}
void TWSocket::TriggerChangeState(TSocketState o, TSocketState n) {
    if (OnChangeState)
        OnChangeState(this, o, n);
}
void TWSocket::TriggerDnsLookupDone(std::uint16_t e) {
    if (OnDnsLookupDone)
        OnDnsLookupDone(this, e);
}
void TWSocket::TriggerError() {
    if (OnError)
        OnError(this);
}
void TWSocket::TriggerTlsDone(std::uint16_t e) {
    if (OnTlsDone)
        OnTlsDone(this, e);
}

void TWSocket::ChangeState(TSocketState newState) {
    TSocketState old = state_;
    state_ = newState;
    TriggerChangeState(old, newState);
}

// ---------------------------------------------------------------- error reporting

void TWSocket::RaiseException(const std::string& msg) {
    if (OnError) {
        TriggerError();
        return;
    }
    throw ESocketException(msg);
}

void TWSocket::SocketError(const std::string& func, int error) {
    std::string text = "Error " + std::to_string(error) + " in function " + func + "\r\n" +
                       WSocketErrorDesc(error);
    if (error == WSAECONNRESET || error == WSAENOTCONN) {
        DropHandle();
        ChangeState(wsClosed);
    }
    lastError_ = error;
    RaiseException(text);
}

// ---------------------------------------------------------------- name look-up

void TWSocket::DnsLookup(const std::string& host) {
    if (host.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        TriggerDnsLookupDone(WSAEINVAL);
        return;
    }
    if (dnsHandle_ != 0) {
        resolver_->Cancel(dnsHandle_);
        dnsHandle_ = 0;
    }
    dnsResult_.clear();
    dnsResultList_.clear();
    in_addr a{};
    if (inet_aton(host.c_str(), &a) != 0) {
        dnsResult_ = inet_ntoa(a);
        TriggerDnsLookupDone(0);
        return;
    }
    if (!resolver_)
        resolver_ = AresResolver::ForLoop(loop_);
    dnsHandle_ = resolver_->Start(host, window_.targetId(), WM_SOCKET_HOSTBYNAME);
}

void TWSocket::CancelDnsLookup() {
    if (dnsHandle_ == 0)
        return;
    resolver_->Cancel(dnsHandle_);
    dnsHandle_ = 0;
    if (!destroying_)
        TriggerDnsLookupDone(WSAEINTR);
}

void TWSocket::HandleHostByName(const Message& m) {
    auto handle = static_cast<AresResolver::Handle>(m.wParam);
    if (!resolver_)
        return;
    if (handle == 0 || handle != dnsHandle_) {
        resolver_->Cancel(handle);
        return;
    }
    dnsHandle_ = 0;
    int error = static_cast<int>((m.lParam >> 16) & 0xffff);
    std::vector<std::string> addresses = resolver_->Take(handle);
    if (error == 0) {
        dnsResultList_ = std::move(addresses);
        dnsResult_ = dnsResultList_.empty() ? std::string() : dnsResultList_.front();
    }
    TriggerDnsLookupDone(static_cast<std::uint16_t>(error));
}

// ---------------------------------------------------------------- window messages

void TWSocket::HandleWindowMessage(const Message& m) {
    try {
        if (m.msg == WM_SOCKET_HOSTBYNAME || m.msg == WM_SOCKET_HOSTBYADDR)
            HandleHostByName(m);
    } catch (const std::exception& e) {
        HandleBgException(e);
    }
}

// Readiness of this connection's descriptor, or a write notification the socket posted itself.
void TWSocket::HandleWatchMessage(const Message& m) {
    if (static_cast<int>(m.wParam) != fd_ || paused_)
        return;
    try {
        if (m.msg == kMsgFdReady)
            HandleReadiness(static_cast<unsigned>(m.lParam));
        else if (m.msg == kMsgTlsStep)
            DriveHandshake();
        else if (m.msg == kMsgTlsPending)
            HandlePendingPlaintext();
        else if (m.msg == WM_SOCKET_SELECT)
            HandleSelect(static_cast<unsigned>(m.lParam & 0xffff),
                         static_cast<int>((m.lParam >> 16) & 0xffff));
    } catch (const std::exception& e) {
        HandleBgException(e);
    }
    UpdateInterest();
}

void TWSocket::HandleBgException(const std::exception& e) {
    bool canClose = true;
    if (OnBgException) {
        try {
            OnBgException(this, e, canClose);
        } catch (...) {
        }
    }
    if (canClose) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

void TWSocket::HandleReadiness(unsigned fdBits) {
    if (state_ == wsConnecting) {
        HandleSelect(FD_CONNECT, SocketErrorOf(fd_));
        return;
    }
    if (handshaking_) {
        DriveHandshake();
        return;
    }
    unsigned bits = 0;
    int error = 0;
    if (fdBits & kFdReadable)
        bits |= ReadableBits();
    if (fdBits & (kFdHangup | kFdError))
        bits |= FD_CLOSE;
    if (bits & FD_CLOSE) {
        error = SocketErrorOf(fd_);
        if (error == 0)
            error = TlsCloseError();
    }
    // A TLS connection may watch for room only because a read had to send: no data was sent.
    if ((fdBits & kFdWritable) && (!tls_ || !allSent_))
        bits |= FD_WRITE;
    if ((fdBits & kFdWritable) && tls_ && tls_->ReadWantsWrite())
        ReportPendingPlaintext();
    HandleSelect(bits, (bits & FD_CLOSE) ? error : 0);
}

void TWSocket::HandleSelect(unsigned bits, int error) {
    const int fd = fd_;
    auto e = static_cast<std::uint16_t>(error);
    if (bits & FD_CONNECT) {
        ChangeState(wsConnected);
        TriggerSessionConnected(e);
        if (error != 0 && state_ != wsClosed)
            Close();
    }
    if ((bits & FD_READ) && fd_ == fd)
        ReceiveLoop(error, kMaxReadsPerReport);
    if ((bits & FD_WRITE) && fd_ == fd) {
        TryToSend();
        if (allSent_ && fd_ == fd)
            TriggerDataSent(e);
    }
    if ((bits & FD_CLOSE) && fd_ == fd && state_ != wsConnecting) {
        ReceiveLoop(0, 0); // the peer has closed: what is left is finite, and all of it counts
        // A handler that closed the socket while reading has had its closed event already.
        if (fd_ != fd)
            return;
        if (OnSessionClosed && !closeInvoked_) {
            closeInvoked_ = true;
            TriggerSessionClosed(e);
        }
        if (state_ != wsClosed)
            Close();
    }
}

// Reads until nothing waits, or at most `maxReads` times (0: no limit). A peer that sends
// faster than the owner reads would otherwise keep this loop, and with it the whole message loop,
// busy for as long as it likes; what is left is reported again once the loop has had its turn.
void TWSocket::ReceiveLoop(int error, int maxReads) {
    receivedSinceReport_ = false;
    const int fd = fd_;
    for (int reads = 1;; ++reads) {
        lastError_ = 0;
        try {
            if (OnDataAvailable) {
                TriggerDataAvailable(static_cast<std::uint16_t>(error));
            } else {
                char scratch[1024];
                if (Receive(scratch, sizeof scratch) < 0 && lastError_ == WSAEWOULDBLOCK) {
                    lastError_ = 0;
                    break;
                }
            }
        } catch (...) {
            break; // a failing handler ends this pass only
        }
        if (lastError_ != 0 || fd_ != fd || reads == maxReads)
            break;
        int waiting = WaitingBytes();
        if (waiting <= 0) {
            if (waiting < 0)
                lastError_ = WinsockErrorFromErrno(errno);
            break;
        }
    }
    // An owner that did not read gets no further read reports until it reads again.
    if (!receivedSinceReport_)
        readEnabled_ = false;
    else if (fd_ == fd && tls_ && tls_->Buffered())
        ReportPendingPlaintext();
}

} // namespace zendrel
