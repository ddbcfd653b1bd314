#pragma once

#include "net/HiddenWindow.h"
#include "platform/MessageLoop.h"

#include <ares.h>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zendrel {

// Asynchronous host-name look-up for every socket of one loop, on one resolver channel. The
// channel never owns the loop: its sockets are loop fd watches and its retries a loop timer.
// A look-up is known by a handle; its completion is posted to the requesting target as
// {msg, handle, error << 16}, and the addresses wait here until the requester takes them.
// Cancelling forgets the handle, so a late answer is dropped.
class AresResolver {
public:
    using Handle = std::uint32_t;

    // The resolver of `loop`, created on first use and shared until its last user lets go.
    static std::shared_ptr<AresResolver> ForLoop(MessageLoop& loop);
    explicit AresResolver(MessageLoop& loop);
    // A channel of its own that gives each query `timeoutMs` per server and try, and `tries`
    // tries, e.g. for questions whose answer only helps when it comes soon.
    AresResolver(MessageLoop& loop, int timeoutMs, int tries);
    ~AresResolver();
    AresResolver(const AresResolver&) = delete;
    AresResolver& operator=(const AresResolver&) = delete;

    // Starts an IPv4 look-up of `host`; returns its handle (never 0).
    Handle Start(const std::string& host, TargetId replyTo, unsigned msg);
    // Asks for the NS records of `name` exactly as given (no search list is applied; a fully
    // qualified name ends with a dot). Its completion is posted as {msg, handle, 1} when the
    // answer holds NS records, {msg, handle, 0} otherwise: no such name, no NS records, a
    // failing server or no answer in time.
    Handle StartNs(const std::string& name, TargetId replyTo, unsigned msg);
    // Hands over the dotted addresses of a completed look-up and forgets it.
    std::vector<std::string> Take(Handle h);
    // Forgets a look-up, whether it is still running or already answered.
    void Cancel(Handle h);
    std::size_t PendingCount() const { return requests_.size(); }
    // Asks the given name servers ("ip:port,ip:port") instead of the system's; false if refused.
    bool SetServers(const std::string& servers);

private:
    struct Request {
        TargetId replyTo = 0;
        unsigned msg = 0;
        bool done = false;
        std::vector<std::string> addresses;
    };
    struct CallbackArg {
        AresResolver* self;
        Handle handle;
    };

    static void OnSockState(void* data, ares_socket_t fd, int readable, int writable);
    static void OnHost(void* arg, int status, int timeouts, hostent* host);
    static void OnNs(void* arg, int status, int timeouts, unsigned char* answer, int length);
    Handle NewRequest(TargetId replyTo, unsigned msg);
    void Init(ares_options& opts, int optmask);
    void HandleMessage(const Message& m);
    void Process(int readFd, int writeFd);
    void ScheduleTimer();

    MessageLoop& loop_;
    HiddenWindow<AresResolver> window_;
    ares_channel channel_ = nullptr;
    std::unordered_map<Handle, Request> requests_;
    Handle nextHandle_ = 1;
};

// Maps a resolver status to the socket error number reported for a failed look-up.
int WinsockErrorFromAres(int status);

} // namespace zendrel
