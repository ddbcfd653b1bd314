#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct ssl_st;

namespace zendrel {

// One TLS client connection over a connected non-blocking descriptor, driven by the caller's
// readiness: no call ever waits. The certificate is always verified against the default trust
// store and the server name; there is no way around either. After a failure the session only
// reports it again, with the one reason found first.
class TlsSession {
public:
    enum class Status : std::uint8_t { Done, WantRead, WantWrite, Closed, Failed };
    // The outcome of a read or write: `bytes` moved when Done; `error` (a socket error number)
    // when Failed.
    struct Io {
        Status status;
        int bytes;
        int error;
    };

    // A session for `fd` (not owned) that checks the certificate against `serverName`, a host
    // name or an address literal, and resumes the session last made with that server on port
    // `service` when it still can; nullptr with `failure` set when TLS cannot start at all.
    static std::unique_ptr<TlsSession> Start(int fd, const std::string& serverName,
                                             const std::string& service, std::string& failure);
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    // Takes the handshake as far as the descriptor allows now.
    Status Handshake();
    // Reads up to `size` bytes of plaintext.
    Io Read(void* buffer, int size);
    // Sends up to `len` bytes; after WantWrite the same bytes (or more) must be offered again.
    Io Write(const void* data, int len);
    // Plaintext readable at once, after taking in whatever records the descriptor holds.
    int Available();
    // Whether plaintext or a whole record waits inside the session (no system call).
    bool Buffered() const;
    // Sends close-notify when the connection is sound and the descriptor takes it now.
    void SendCloseNotify();

    bool PeerClosed() const { return peerClosed_; }
    bool Broken() const { return brokenError_ != 0; }
    // The socket error number of the failure (0 while sound).
    int BrokenError() const { return brokenError_; }
    // A read had to send first (a key update): report writability to the reader.
    bool ReadWantsWrite() const { return readWantsWrite_; }
    // A short reason for users and logs; empty while nothing failed.
    const std::string& Failure() const { return failure_; }

private:
    TlsSession(ssl_st* ssl, std::string resumptionKey)
        : ssl_(ssl), resumptionKey_(std::move(resumptionKey)) {}
    bool Configure(int fd, const std::string& serverName);
    Io Classify(int result, bool reading);
    Io Fail(int error, std::string reason);

    ssl_st* ssl_;
    const std::string resumptionKey_; // server name and port the sessions it is given belong to
    std::string failure_;
    int brokenError_ = 0;
    bool peerClosed_ = false;
    bool readWantsWrite_ = false;
};

} // namespace zendrel
