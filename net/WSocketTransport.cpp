// The socket's seam to the wire, and TLS on top of it. Every byte the socket sends or receives
// passes RawSend and RawReceive: the system's send and recv on a plain connection, the TLS
// session once StartTls was called. The rest of the socket sees the same results either way
// (a count, 0 for the peer's close, or a socket error number), so the owner's events keep their
// order and meaning. Two things only TLS needs: OpenSSL may already hold decrypted data that the
// descriptor no longer signals, so the socket reports it to itself; and a broken TLS stream
// leaves nothing for the descriptor to signal either, so the socket posts its own close.
#include "net/SocketErrors.h"
#include "net/WSocket.h"

#include <cerrno>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace zendrel {

// ---------------------------------------------------------------- the seam

int TWSocket::RawSend(const char* data, int len, int& error) {
    if (!tls_) {
        int flags = MSG_NOSIGNAL | (SendFlags == wsSendUrgent ? MSG_OOB : 0);
        ssize_t n = ::send(fd_, data, static_cast<std::size_t>(len), flags);
        if (n < 0)
            error = WinsockErrorFromErrno(errno);
        return static_cast<int>(n);
    }
    TlsSession::Io io = tls_->Write(data, len);
    switch (io.status) {
    case TlsSession::Status::Done:
        return io.bytes;
    case TlsSession::Status::Failed:
        NoteTlsEnd();
        error = io.error;
        return -1;
    case TlsSession::Status::Closed: // the peer ended TLS: nothing more can reach it
        error = WSAECONNRESET;
        return -1;
    default:
        error = WSAEWOULDBLOCK;
        return -1;
    }
}

int TWSocket::RawReceive(char* buffer, int size, int& error) {
    if (!tls_) {
        ssize_t n = ::recv(fd_, buffer, static_cast<std::size_t>(size), 0);
        if (n < 0)
            error = WinsockErrorFromErrno(errno);
        return static_cast<int>(n);
    }
    if (handshaking_ || size == 0) {
        error = handshaking_ ? WSAEWOULDBLOCK : 0;
        return handshaking_ ? -1 : 0;
    }
    TlsSession::Io io = tls_->Read(buffer, size);
    switch (io.status) {
    case TlsSession::Status::Done:
        return io.bytes;
    case TlsSession::Status::Closed:
        NoteTlsEnd();
        return 0;
    case TlsSession::Status::Failed:
        NoteTlsEnd();
        error = io.error;
        return -1;
    default:
        error = WSAEWOULDBLOCK;
        return -1;
    }
}

int TWSocket::SystemWaitingBytes() const {
    int n = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &n) != 0)
        return -1;
    return n;
}

// Plaintext readable now on a TLS connection (none while the handshake runs).
int TWSocket::WaitingBytes() {
    if (!tls_ || fd_ < 0)
        return SystemWaitingBytes();
    if (handshaking_)
        return 0;
    int n = tls_->Available();
    NoteTlsEnd();
    return n;
}

// The notification a readable descriptor stands for. On TLS, bytes on the wire may be only part
// of a record or a message for the session itself (a session ticket): nothing to report yet.
unsigned TWSocket::ReadableBits() {
    if (!tls_)
        return WaitingBytes() > 0 ? FD_READ : FD_CLOSE; // readable, nothing to read: closed
    int wire = SystemWaitingBytes();
    if (WaitingBytes() > 0)
        return FD_READ;
    if (wire <= 0 || tls_->PeerClosed() || tls_->Broken())
        return FD_CLOSE;
    return 0;
}

bool TWSocket::IsClosingSendError(int error) const {
    return error == WSAECONNRESET || error == WSAENOTSOCK || error == WSAENOTCONN ||
           error == WSAEINVAL || (tls_ && error == WSAECONNABORTED);
}

// ---------------------------------------------------------------- TLS

void TWSocket::StartTls(const std::string& serverName, const std::string& service) {
    if (state_ != wsConnected || fd_ < 0 || !watch_)
        return RaiseException("StartTls: Socket not connected");
    if (tls_ || handshaking_)
        return RaiseException("StartTls: TLS already started");
    if (serverName.empty())
        return RaiseException("StartTls: No server name");
    if (!allSent_)
        return RaiseException("StartTls: Data still waiting to be sent in the clear");
    tlsFailure_.clear();
    tlsEndPosted_ = plaintextReportPosted_ = false;
    tls_ = TlsSession::Start(fd_, serverName, service.empty() ? port_ : service, tlsFailure_);
    // Even a session that cannot start reports from the loop, like every other outcome.
    handshaking_ = true;
    handshakeInterest_ = 0;
    readEnabled_ = true;
    watch_->post(kMsgTlsStep, fd_, 0);
    UpdateInterest();
}

void TWSocket::DriveHandshake() {
    if (!handshaking_)
        return;
    if (!tls_)
        return FinishHandshake(WSAECONNABORTED);
    switch (tls_->Handshake()) {
    case TlsSession::Status::Done:
        return FinishHandshake(0);
    case TlsSession::Status::WantRead:
        handshakeInterest_ = kFdReadable;
        return;
    case TlsSession::Status::WantWrite:
        handshakeInterest_ = kFdWritable;
        return;
    default:
        tlsFailure_ = tls_->Failure();
        return FinishHandshake(tls_->BrokenError());
    }
}

// A failed handshake ends the connection, as a failed connect does, but the closed event carries
// the error: an owner that only watches for the close still learns that nothing came through.
void TWSocket::FinishHandshake(int error) {
    handshaking_ = false;
    const int fd = fd_;
    TriggerTlsDone(static_cast<std::uint16_t>(error));
    if (fd_ != fd)
        return;
    if (error != 0) {
        if (state_ != wsClosed)
            InternalClose(true, error);
        return;
    }
    if (!allSent_) {
        TryToSend();
        if (allSent_ && fd_ == fd)
            watch_->post(WM_SOCKET_SELECT, fd_, FD_WRITE);
    }
    if (fd_ == fd && tls_ && tls_->Buffered())
        ReportPendingPlaintext();
}

void TWSocket::ReportPendingPlaintext() {
    if (plaintextReportPosted_ || fd_ < 0 || !watch_)
        return;
    plaintextReportPosted_ = true;
    watch_->post(kMsgTlsPending, fd_, 0);
}

void TWSocket::HandlePendingPlaintext() {
    plaintextReportPosted_ = false;
    if (!tls_ || handshaking_ || !readEnabled_)
        return;
    if (WaitingBytes() > 0)
        HandleSelect(FD_READ, 0);
}

// Once the peer has closed TLS, or the stream broke, the descriptor may stay silent (the peer
// can hold the connection open); the socket posts its own close notification, once.
void TWSocket::NoteTlsEnd() {
    if (!tls_ || !(tls_->Broken() || tls_->PeerClosed()))
        return;
    if (!tls_->Failure().empty())
        tlsFailure_ = tls_->Failure();
    if (tlsEndPosted_ || fd_ < 0 || !watch_)
        return;
    tlsEndPosted_ = true;
    watch_->post(WM_SOCKET_SELECT, fd_,
                 (static_cast<std::intptr_t>(TlsCloseError()) << 16) | FD_CLOSE);
}

int TWSocket::TlsCloseError() const {
    return tls_ && tls_->Broken() ? tls_->BrokenError() : 0;
}

} // namespace zendrel
