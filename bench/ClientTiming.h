#pragma once

// Wall times of the HTTP client fetching one page: one client reused for `n` documents in turn,
// and `n` clients at once. `onReply` sees each finished request.
#include "net/HttpProt.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zendrel::bench {

using Clock = std::chrono::steady_clock;
using ReplyCheck = std::function<void(THttpCli*)>;

inline double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

inline double OurSequentialMs(MessageLoop& loop, const std::string& url, int n,
                              const ReplyCheck& onReply) {
    THttpCli c(loop);
    int done = 0;
    c.OnRequestDone = [&](THttpCli* s, THttpRequest, std::uint16_t) {
        ++done;
        onReply(s);
    };
    c.URL = url;
    auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) {
        c.GetAsync();
        loop.runUntil([&] { return done > i; }, 10000);
    }
    return MsSince(t0);
}

inline double OurConcurrentMs(MessageLoop& loop, const std::string& url, int n,
                              const ReplyCheck& onReply) {
    std::vector<std::unique_ptr<THttpCli>> clients;
    int done = 0;
    auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) {
        clients.push_back(std::make_unique<THttpCli>(loop));
        clients.back()->OnRequestDone = [&](THttpCli* s, THttpRequest, std::uint16_t) {
            ++done;
            onReply(s);
        };
        clients.back()->URL = url;
        clients.back()->GetAsync();
    }
    loop.runUntil([&] { return done == n; }, 20000);
    return MsSince(t0);
}

} // namespace zendrel::bench
