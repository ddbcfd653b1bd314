#pragma once

#include "net/AresResolver.h"
#include "net/SocketException.h"
#include "net/TlsSession.h"
#include "net/WSockbuf.h"
#include "platform/HiddenWindow.h"
#include "platform/MessageLoop.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <vector>

namespace zendrel {

enum TSocketState : std::uint8_t {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed,
};
enum TSocketSendFlags : std::uint8_t { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff : std::uint8_t { wsLingerOff, wsLingerOn, wsLingerNoSet };

// Messages of a socket's hidden window, and the event bits of a socket notification.
inline constexpr unsigned WM_SOCKET_SELECT = 1025;
inline constexpr unsigned WM_SOCKET_HOSTBYNAME = 1026;
inline constexpr unsigned WM_SOCKET_HOSTBYADDR = 1027;
inline constexpr unsigned FD_READ = 1;
inline constexpr unsigned FD_WRITE = 2;
inline constexpr unsigned FD_ACCEPT = 8;
inline constexpr unsigned FD_CONNECT = 16;
inline constexpr unsigned FD_CLOSE = 32;

class TWSocket;
using TSocketEvent = std::function<void(TWSocket* sender, std::uint16_t error)>;
using TDataAvailable = TSocketEvent;
using TDataSent = TSocketEvent;
using TSessionClosed = TSocketEvent;
using TSessionAvailable = TSocketEvent;
using TSessionConnected = TSocketEvent;
using TDnsLookupDone = TSocketEvent;
using TChangeState = std::function<void(TWSocket*, TSocketState oldState, TSocketState newState)>;
using TNotifyEvent = std::function<void(TWSocket*)>;
using TBgExceptionEvent = std::function<void(TWSocket*, const std::exception&, bool& canClose)>;

// An asynchronous IPv4 TCP client socket. Readiness of its non-blocking descriptor, watched by
// the loop, is turned into the read, write, connect and close notifications that the rest of the
// program was designed around, in order and always from the loop; failures are reported with
// the original socket error numbers. Each connection gets its own watch window, so nothing
// queued for an earlier connection can reach a later one that reuses the descriptor number.
// A connection can switch to TLS; from then on the owner sees plaintext through the same events
// and calls, because every byte to or from the wire passes the one raw send/receive seam.
class TWSocket {
public:
    explicit TWSocket(MessageLoop& loop);
    virtual ~TWSocket();
    TWSocket(const TWSocket&) = delete;
    TWSocket& operator=(const TWSocket&) = delete;

    // --- properties (setters refuse changes unless closed) ---
    const std::string& Addr() const { return addr_; }
    void SetAddr(const std::string& value);
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& value);
    const std::string& Proto() const { return proto_; }
    void SetProto(const std::string& value);
    const std::string& LocalPort() const { return localPort_; }
    void SetLocalPort(const std::string& value);
    const std::string& DnsResult() const { return dnsResult_; }
    const std::vector<std::string>& DnsResultList() const { return dnsResultList_; }
    TSocketState State() const { return state_; }
    // Bytes read since the connection opened (plaintext once TLS runs); 64 bits, as a peer may
    // send without end.
    std::int64_t ReadCount() const { return readCount_; }
    // Bytes waiting to be read; -1 (after reporting "ioctlSocket") when the system cannot say.
    std::int32_t RcvdCount();
    std::int32_t LastError() const { return lastError_; }
    bool MultiThreaded = false;
    TSocketSendFlags SendFlags = wsSendNormal;
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    std::int32_t LingerTimeout = 0;
    int Handle() const { return fd_; }

    // --- events (an empty one is skipped) ---
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSessionClosed OnSessionClosed;
    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TDnsLookupDone OnDnsLookupDone;
    TChangeState OnChangeState;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;
    // The TLS handshake has ended: 0, or a socket error number with TlsFailure() saying why.
    TSocketEvent OnTlsDone;

    // --- operations ---
    // Looks `host` up; a dotted address completes inside the call, a name from the loop.
    virtual void DnsLookup(const std::string& host);
    // Forgets a pending look-up and reports it with error 10004 at once.
    virtual void CancelDnsLookup();
    // Opens the connection to Addr:Port; completion arrives as OnSessionConnected.
    virtual void Connect();
    // Queues `len` bytes; returns len, 0 for len <= 0, or -1 when not connected.
    virtual int Send(const void* data, int len);
    int SendStr(const std::string& s) { return Send(s.data(), static_cast<int>(s.size())); }
    // Reads up to `size` bytes: the count, 0 when the peer has closed, -1 with LastError set.
    virtual int Receive(void* buffer, int size);
    // Reads everything waiting now.
    std::string ReceiveStr();
    // Closes after shutting down the sending side; OnSessionClosed fires inside the call.
    virtual void Close();
    // Closes at once, dropping unsent data and a pending look-up.
    virtual void Abort();
    // Passes `how` to the system when a descriptor exists.
    void Shutdown(int how);
    // Starts TLS on the connection (also after bytes were exchanged in the clear), verifying the
    // certificate for `serverName`; OnTlsDone reports the outcome from the loop. Data sent before
    // it ends waits and goes out encrypted. `service` is the server's port when the connection
    // is a tunnel to it (Port otherwise): the session is resumed from the last one with it.
    virtual void StartTls(const std::string& serverName, const std::string& service = {});
    // Why the last TLS handshake or connection failed; empty when nothing did.
    const std::string& TlsFailure() const { return tlsFailure_; }

protected:
    virtual void TriggerDataAvailable(std::uint16_t error);
    virtual void TriggerSessionConnected(std::uint16_t error);
    virtual void TriggerSessionClosed(std::uint16_t error);
    virtual void TriggerDataSent(std::uint16_t error);
    virtual void TriggerChangeState(TSocketState oldState, TSocketState newState);
    virtual void TriggerDnsLookupDone(std::uint16_t error);
    virtual void TriggerError();
    virtual void TriggerTlsDone(std::uint16_t error);
    // Reports a failure of operation `func` with socket error `error` (closing on 10054/10057).
    void SocketError(const std::string& func, int error);
    // Fires OnError when assigned, otherwise raises ESocketException with `msg`.
    void RaiseException(const std::string& msg);
    void ChangeState(TSocketState newState);
    // Lets a test start the count near a boundary instead of sending gigabytes.
    void PresetReadCount(std::int64_t count) { readCount_ = count; }

private:
    using Window = HiddenWindow<TWSocket>;
    // Readiness of the connection's descriptor, as the loop's fd watch posts it.
    static constexpr unsigned kMsgFdReady = WM_USER + 0x100;
    // Posted to itself: take the TLS handshake a step further; report decrypted data that the
    // descriptor no longer signals, because OpenSSL has already read it.
    static constexpr unsigned kMsgTlsStep = WM_USER + 0x101;
    static constexpr unsigned kMsgTlsPending = WM_USER + 0x102;
    // Read events handled per readiness report while the peer is still sending.
    static constexpr int kMaxReadsPerReport = 16;

    void HandleWindowMessage(const Message& m);
    void HandleWatchMessage(const Message& m);
    void HandleReadiness(unsigned fdBits);
    void HandleSelect(unsigned bits, int error);
    void HandleHostByName(const Message& m);
    void HandleBgException(const std::exception& e);
    void ReceiveLoop(int error, int maxReads);
    void TryToSend();
    void AppendToQueue(const char* data, int len);
    void InternalClose(bool shutdownFirst, int error);
    void ResetDefaults();
    void ResolveForConnect();
    bool OpenAndConfigure();
    void ApplyLinger();
    void BindLocalPort();
    void StartWatching();
    void UpdateInterest();
    void DropHandle();
    // --- the seam to the wire: the system, or the TLS session over it ---
    int RawSend(const char* data, int len, int& error);
    int RawReceive(char* buffer, int size, int& error);
    int WaitingBytes();
    int SystemWaitingBytes() const;
    unsigned ReadableBits();
    bool IsClosingSendError(int error) const;
    // --- TLS ---
    void DriveHandshake();
    void FinishHandshake(int error);
    void HandlePendingPlaintext();
    void ReportPendingPlaintext();
    void NoteTlsEnd();
    int TlsCloseError() const;

    MessageLoop& loop_;
    Window window_;
    std::unique_ptr<Window> watch_; // per connection
    std::shared_ptr<AresResolver> resolver_;

    std::string addr_, port_, proto_ = "tcp", localPort_ = "0";
    bool addrAssigned_ = false, portAssigned_ = false, protoAssigned_ = true;
    bool addrResolved_ = false, portResolved_ = false, protoResolved_ = false;
    bool localPortResolved_ = false;
    sockaddr_in sin_{};
    int protoNumber_ = 6;
    int sockType_ = 1;
    std::uint16_t localPortNumber_ = 0;
    std::string dnsResult_;
    std::vector<std::string> dnsResultList_;
    AresResolver::Handle dnsHandle_ = 0;

    int fd_ = -1;
    TSocketState state_ = wsClosed;
    std::int64_t readCount_ = 0;
    std::int32_t lastError_ = 0;
    std::deque<TBuffer> queue_;
    bool allSent_ = true;
    bool paused_ = false;
    bool closeInvoked_ = false;
    bool destroying_ = false;
    // The system reports readable data once; further reports wait until the owner reads.
    bool readEnabled_ = true;
    bool receivedSinceReport_ = false;

    std::unique_ptr<TlsSession> tls_; // per connection, once StartTls was called
    bool handshaking_ = false;
    unsigned handshakeInterest_ = 0;
    bool tlsEndPosted_ = false;
    bool plaintextReportPosted_ = false;
    std::string tlsFailure_;
};

} // namespace zendrel
