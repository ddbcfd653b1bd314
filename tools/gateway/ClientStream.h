#pragma once

#include <cstddef>
#include <memory>

namespace zendrel::gateway {

// The outcome of one step on a non-blocking client stream.
enum class StreamStatus {
    Done,      // the step completed (for read and write: `bytes` moved)
    WantRead,  // try again once the socket is readable
    WantWrite, // try again once the socket is writable
    Closed,    // the client ended the stream in order
    Failed,    // a reset, a protocol error or any other failure
};

struct StreamResult {
    StreamStatus status;
    std::size_t bytes = 0;
};

// The byte stream of one accepted client: plain TCP, or TLS over it. Every call returns at once;
// a step that cannot go on tells what the socket must become ready for.
class ClientStream {
public:
    explicit ClientStream(int fd) : fd_(fd) {}
    virtual ~ClientStream();
    ClientStream(const ClientStream&) = delete;
    ClientStream& operator=(const ClientStream&) = delete;

    int fd() const { return fd_; }
    bool closed() const { return fd_ < 0; }
    virtual bool encrypted() const = 0;

    // Completes the stream's opening (the TLS handshake); Done at once on plain TCP.
    virtual StreamResult open() = 0;
    virtual StreamResult read(char* buf, std::size_t size) = 0;
    virtual StreamResult write(const char* data, std::size_t size) = 0;
    // Announces the orderly end of what this side sends (TLS close-notify, then a TCP
    // half-close); Done once that went out.
    virtual StreamResult finish() = 0;

    // Closes the socket; with `reset`, so that the client sees a connection reset.
    void close(bool reset = false);

private:
    int fd_;
};

// A client stream on plain TCP; owns `fd`.
std::unique_ptr<ClientStream> MakePlainStream(int fd);

} // namespace zendrel::gateway
