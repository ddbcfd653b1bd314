#include "net/AresResolver.h"

#include "net/SocketErrors.h"
#include "net/SocketException.h"

#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>

namespace zendrel {

namespace {

constexpr unsigned kMsgFd = WM_USER + 1;
constexpr unsigned kTimerId = 1;

// The resolver library keeps process-wide state that must be set up once before any channel.
void InitLibraryOnce() {
    static std::once_flag once;
    static int status = ARES_SUCCESS;
    std::call_once(once, [] { status = ares_library_init(ARES_LIB_INIT_ALL); });
    if (status != ARES_SUCCESS)
        throw ESocketException(std::string("Unable to initialise the name resolver: ") +
                               ares_strerror(status));
}

} // namespace

int WinsockErrorFromAres(int status) {
    switch (status) {
    case ARES_SUCCESS:
        return 0;
    case ARES_ENOTFOUND:
    case ARES_EBADNAME:
        return WSAHOST_NOT_FOUND;
    case ARES_ENODATA:
        return WSANO_DATA;
    case ARES_ETIMEOUT:
    case ARES_ESERVFAIL:
    case ARES_ECONNREFUSED:
    case ARES_EREFUSED:
        return WSATRY_AGAIN;
    case ARES_ENOMEM:
        return WSAENOBUFS;
    default:
        return WSANO_RECOVERY;
    }
}

std::shared_ptr<AresResolver> AresResolver::ForLoop(MessageLoop& loop) {
    static std::unordered_map<MessageLoop*, std::weak_ptr<AresResolver>> perLoop;
    std::erase_if(perLoop, [](const auto& entry) { return entry.second.expired(); });
    std::shared_ptr<AresResolver> r = perLoop[&loop].lock();
    if (!r) {
        r = std::make_shared<AresResolver>(loop);
        perLoop[&loop] = r;
    }
    return r;
}

AresResolver::AresResolver(MessageLoop& loop)
    : loop_(loop), window_(loop, *this, &AresResolver::HandleMessage) {
    ares_options opts{};
    Init(opts, 0);
}

AresResolver::AresResolver(MessageLoop& loop, int timeoutMs, int tries)
    : loop_(loop), window_(loop, *this, &AresResolver::HandleMessage) {
    ares_options opts{};
    opts.timeout = timeoutMs;
    opts.tries = tries;
    Init(opts, ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES);
}

void AresResolver::Init(ares_options& opts, int optmask) {
    InitLibraryOnce();
    opts.sock_state_cb = &AresResolver::OnSockState;
    opts.sock_state_cb_data = this;
    int status = ares_init_options(&channel_, &opts, optmask | ARES_OPT_SOCK_STATE_CB);
    if (status != ARES_SUCCESS)
        throw ESocketException(std::string("Unable to start the name resolver: ") +
                               ares_strerror(status));
}

AresResolver::~AresResolver() {
    ares_destroy(channel_); // runs the outstanding callbacks with ARES_EDESTRUCTION
}

AresResolver::Handle AresResolver::NewRequest(TargetId replyTo, unsigned msg) {
    Handle h = nextHandle_++;
    if (nextHandle_ == 0)
        nextHandle_ = 1;
    requests_[h] = Request{replyTo, msg, false, {}};
    return h;
}

AresResolver::Handle AresResolver::Start(const std::string& host, TargetId replyTo, unsigned msg) {
    Handle h = NewRequest(replyTo, msg);
    // The answer may come inside this call (from the hosts file); it is posted all the same.
    ares_gethostbyname(channel_, host.c_str(), AF_INET, &AresResolver::OnHost,
                       new CallbackArg{this, h});
    ScheduleTimer();
    return h;
}

std::vector<std::string> AresResolver::Take(Handle h) {
    auto it = requests_.find(h);
    if (it == requests_.end())
        return {};
    std::vector<std::string> result = std::move(it->second.addresses);
    requests_.erase(it);
    return result;
}

void AresResolver::Cancel(Handle h) {
    requests_.erase(h);
}

bool AresResolver::SetServers(const std::string& servers) {
    return ares_set_servers_ports_csv(channel_, servers.c_str()) == ARES_SUCCESS;
}

void AresResolver::OnSockState(void* data, ares_socket_t fd, int readable, int writable) {
    auto* self = static_cast<AresResolver*>(data);
    if (!readable && !writable) {
        self->loop_.unwatchFd(fd);
        return;
    }
    unsigned interest = (readable ? kFdReadable : 0u) | (writable ? kFdWritable : 0u);
    self->loop_.watchFd(fd, interest, self->window_, kMsgFd);
}

void AresResolver::OnHost(void* arg, int status, int /*timeouts*/, hostent* host) {
    std::unique_ptr<CallbackArg> a(static_cast<CallbackArg*>(arg));
    if (status == ARES_EDESTRUCTION)
        return;
    auto it = a->self->requests_.find(a->handle);
    if (it == a->self->requests_.end() || it->second.done)
        return; // cancelled: nobody waits for this answer any more
    Request& r = it->second;
    r.done = true;
    if (status == ARES_SUCCESS && host) {
        for (char** p = host->h_addr_list; p && *p; ++p) {
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, *p, text, sizeof text);
            r.addresses.emplace_back(text);
        }
        if (r.addresses.empty())
            status = ARES_ENODATA;
    }
    std::intptr_t error = WinsockErrorFromAres(status);
    a->self->loop_.post(r.replyTo,
                        Message{r.msg, static_cast<std::intptr_t>(a->handle), error << 16});
}

AresResolver::Handle AresResolver::StartNs(const std::string& name, TargetId replyTo,
                                           unsigned msg) {
    Handle h = NewRequest(replyTo, msg);
    // ares_query, unlike ares_search, never tries the name below the search domains.
    ares_query(channel_, name.c_str(), ns_c_in, ns_t_ns, &AresResolver::OnNs,
               new CallbackArg{this, h});
    ScheduleTimer();
    return h;
}

void AresResolver::OnNs(void* arg, int status, int, unsigned char* answer, int length) {
    std::unique_ptr<CallbackArg> a(static_cast<CallbackArg*>(arg));
    if (status == ARES_EDESTRUCTION)
        return;
    auto it = a->self->requests_.find(a->handle);
    if (it == a->self->requests_.end() || it->second.done)
        return; // cancelled: nobody waits for this answer any more
    // The answer is complete in the message; nothing waits to be taken.
    const Request r = it->second;
    a->self->requests_.erase(it);
    bool delegated = false;
    hostent* host = nullptr;
    if (status == ARES_SUCCESS && ares_parse_ns_reply(answer, length, &host) == ARES_SUCCESS) {
        delegated = host->h_aliases && host->h_aliases[0];
        ares_free_hostent(host);
    }
    a->self->loop_.post(r.replyTo,
                        Message{r.msg, static_cast<std::intptr_t>(a->handle), delegated ? 1 : 0});
}

void AresResolver::HandleMessage(const Message& m) {
    if (m.msg == kMsgFd) {
        int fd = static_cast<int>(m.wParam);
        bool rd = (m.lParam & (kFdReadable | kFdHangup | kFdError)) != 0;
        bool wr = (m.lParam & kFdWritable) != 0;
        Process(rd ? fd : ARES_SOCKET_BAD, wr ? fd : ARES_SOCKET_BAD);
    } else if (m.msg == WM_TIMER) {
        Process(ARES_SOCKET_BAD, ARES_SOCKET_BAD);
    }
}

void AresResolver::Process(int readFd, int writeFd) {
    ares_process_fd(channel_, readFd, writeFd);
    ScheduleTimer();
}

void AresResolver::ScheduleTimer() {
    timeval tv{};
    if (!ares_timeout(channel_, nullptr, &tv)) {
        window_.killTimer(kTimerId);
        return;
    }
    Millis ms = static_cast<Millis>(tv.tv_sec) * 1000 + tv.tv_usec / 1000;
    window_.setTimer(kTimerId, ms < 1 ? 1 : ms);
}

} // namespace zendrel
