// The connection half of the socket layer: opening, sending through the block queue, receiving
// and closing. Sends never raise SIGPIPE: a peer that goes away while we write is reported
// through the close path like any other reset.
#include "net/SocketAddress.h"
#include "net/SocketErrors.h"
#include "net/WSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel {

// ---------------------------------------------------------------- connect

void TWSocket::Connect() {
    if (fd_ >= 0 && state_ != wsClosed)
        return RaiseException("Connect: Socket already in use");
    if (!portAssigned_)
        return RaiseException("Connect: No Port Specified");
    if (!addrAssigned_)
        return RaiseException("Connect: No IP Address Specified");
    if (!protoAssigned_)
        return RaiseException("Connect: No Protocol Specified");
    try {
        ResolveForConnect();
    } catch (const ESocketException& e) {
        return RaiseException(std::string("connect: ") + e.what());
    }
    queue_.clear();
    allSent_ = true;
    if (!OpenAndConfigure())
        return;
    int rc = ::connect(fd_, reinterpret_cast<const sockaddr*>(&sin_), sizeof sin_);
    int err = rc == 0 ? 0 : errno;
    if (err == 0 || err == EINPROGRESS || err == EAGAIN) {
        ChangeState(wsConnecting);
        return;
    }
    if (err == ECONNREFUSED || err == ETIMEDOUT || err == ENETUNREACH || err == EHOSTUNREACH) {
        // A result known at once still arrives as a connect notification from the loop, the
        // way a non-blocking connect reports it everywhere else.
        ChangeState(wsConnecting);
        std::intptr_t lp =
            (static_cast<std::intptr_t>(WinsockErrorFromErrno(err)) << 16) | FD_CONNECT;
        watch_->post(WM_SOCKET_SELECT, fd_, lp);
        return;
    }
    SocketError("Connect", WinsockErrorFromErrno(err));
}

void TWSocket::ResolveForConnect() {
    if (!protoResolved_) {
        protoNumber_ = WSocketResolveProto(proto_);
        if (protoNumber_ == IPPROTO_UDP)
            throw ESocketException("datagram sockets are not supported");
        sockType_ = SOCK_STREAM;
        protoResolved_ = true;
    }
    if (!portResolved_) {
        sin_.sin_port = htons(WSocketResolvePort(port_, proto_));
        portResolved_ = true;
    }
    if (!localPortResolved_) {
        localPortNumber_ = WSocketResolvePort(localPort_, proto_);
        localPortResolved_ = true;
    }
    if (!addrResolved_) {
        sin_.sin_family = AF_INET;
        sin_.sin_addr.s_addr = WSocketResolveHost(addr_);
        addrResolved_ = true;
    }
}

bool TWSocket::OpenAndConfigure() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, protoNumber_);
    if (fd_ < 0) {
        SocketError("Connect (socket)", WinsockErrorFromErrno(errno));
        return false;
    }
    ChangeState(wsOpened);
    StartWatching();
    if (localPortNumber_ != 0)
        BindLocalPort();
    ApplyLinger();
    int on = 1;
    if (setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) {
        SocketError("setsockopt(SO_KEEPALIVE)", WinsockErrorFromErrno(errno));
        return false;
    }
    if (setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        SocketError("setsockopt(SO_REUSEADDR)", WinsockErrorFromErrno(errno));
        return false;
    }
    return fd_ >= 0;
}

void TWSocket::BindLocalPort() {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPortNumber_);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        throw ESocketException("winsock.bind failed, error #" +
                               std::to_string(WinsockErrorFromErrno(errno)));
    socklen_t len = sizeof local;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &len) != 0)
        throw ESocketException("winsock.getsockname failed, error #" +
                               std::to_string(WinsockErrorFromErrno(errno)));
    localPortNumber_ = ntohs(local.sin_port);
    localPort_ = std::to_string(localPortNumber_);
}

void TWSocket::ApplyLinger() {
    if (LingerOnOff == wsLingerNoSet)
        return;
    if (fd_ < 0)
        return RaiseException("Cannot set linger option at this time");
    linger l{LingerOnOff == wsLingerOn ? 1 : 0, LingerTimeout};
    if (setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l) != 0)
        SocketError("setsockopt(SO_LINGER)", WinsockErrorFromErrno(errno));
}

// ---------------------------------------------------------------- watching

void TWSocket::StartWatching() {
    watch_ = std::make_unique<Window>(loop_, *this, &TWSocket::HandleWatchMessage);
    readEnabled_ = true;
    loop_.watchFd(fd_, kFdWritable, *watch_, kMsgFdReady);
}

void TWSocket::UpdateInterest() {
    if (fd_ < 0 || !watch_)
        return;
    unsigned interest = kFdHangup;
    if (state_ == wsConnecting || state_ == wsOpened)
        interest = kFdWritable;
    else if (handshaking_)
        interest |= handshakeInterest_;
    else {
        if (readEnabled_)
            interest |= kFdReadable;
        if (!allSent_ || (tls_ && tls_->ReadWantsWrite()))
            interest |= kFdWritable;
    }
    loop_.updateFd(fd_, interest);
}

void TWSocket::DropHandle() {
    if (fd_ >= 0) {
        loop_.unwatchFd(fd_);
        ::close(fd_);
        fd_ = -1;
    }
    tls_.reset();
    handshaking_ = false;
    watch_.reset(); // whatever is still queued for this connection is dropped with it
}

// ---------------------------------------------------------------- sending

int TWSocket::Send(const void* data, int len) {
    if (state_ != wsConnected) {
        SocketError("Send", WSAENOTCONN);
        return -1;
    }
    if (len <= 0)
        return 0;
    allSent_ = false;
    AppendToQueue(static_cast<const char*>(data), len);
    TryToSend();
    if (fd_ >= 0 && watch_) {
        if (allSent_)
            watch_->post(WM_SOCKET_SELECT, fd_, FD_WRITE);
        else
            UpdateInterest();
    }
    return len;
}

void TWSocket::AppendToQueue(const char* data, int len) {
    if (queue_.empty())
        queue_.emplace_back();
    while (len > 0) {
        int n = queue_.back().Write(data, len);
        if (n == 0) {
            queue_.emplace_back();
            continue;
        }
        data += n;
        len -= n;
    }
}

// While a handshake runs, the queue waits: what the owner sends is meant to go out encrypted.
void TWSocket::TryToSend() {
    if (fd_ < 0 || queue_.empty() || handshaking_)
        return;
    for (;;) {
        int len = 0;
        const char* p = queue_.front().Peek(len);
        if (len <= 0) {
            if (queue_.size() > 1) {
                queue_.pop_front();
                continue;
            }
            allSent_ = true;
            return;
        }
        int error = 0;
        int n = RawSend(p, len, error);
        if (n < 0) {
            if (error == WSAEWOULDBLOCK)
                return;
            if (IsClosingSendError(error)) {
                closeInvoked_ = true;
                Close();
                TriggerSessionClosed(static_cast<std::uint16_t>(error));
                return;
            }
            return SocketError("TryToSend failed", error);
        }
        if (n == 0)
            return;
        queue_.front().Remove(n);
        if (n < len)
            return;
    }
}

// ---------------------------------------------------------------- receiving

int TWSocket::Receive(void* buffer, int size) {
    if (fd_ < 0) {
        lastError_ = WSAENOTSOCK;
        return -1;
    }
    receivedSinceReport_ = true;
    readEnabled_ = true;
    int error = 0;
    int n = RawReceive(static_cast<char*>(buffer), size < 0 ? 0 : size, error);
    if (n < 0) {
        lastError_ = error;
        return -1;
    }
    // Plaintext is counted, not the bytes on the wire: the count measures the reply the owner
    // gets (progress texts, the reply cap), which must not depend on how it was carried.
    readCount_ += n;
    return n;
}

std::string TWSocket::ReceiveStr() {
    std::string out;
    int waiting = WaitingBytes();
    if (waiting <= 0)
        return out;
    out.resize(static_cast<std::size_t>(waiting));
    int n = Receive(out.data(), waiting);
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

// ---------------------------------------------------------------- closing

void TWSocket::Close() {
    InternalClose(true, 0);
}

void TWSocket::Abort() {
    CancelDnsLookup();
    queue_.clear();
    allSent_ = true;
    if (state_ == wsConnected && fd_ >= 0) {
        LingerOnOff = wsLingerOff;
        ApplyLinger();
    }
    InternalClose(false, 0);
}

void TWSocket::Shutdown(int how) {
    if (fd_ >= 0)
        ::shutdown(fd_, how);
}

void TWSocket::InternalClose(bool shutdownFirst, int error) {
    if (fd_ < 0) {
        if (state_ != wsClosed) {
            ChangeState(wsClosed);
            ResetDefaults();
        }
        return;
    }
    if (state_ == wsClosed)
        return;
    if (shutdownFirst) {
        if (tls_ && !handshaking_)
            tls_->SendCloseNotify(); // best effort: whatever the descriptor takes now
        ::shutdown(fd_, SHUT_WR);
    }
    DropHandle();
    ChangeState(wsClosed);
    if (!destroying_ && !closeInvoked_ && OnSessionClosed) {
        closeInvoked_ = true;
        TriggerSessionClosed(static_cast<std::uint16_t>(error));
    }
    ResetDefaults();
}

} // namespace zendrel
