#pragma once

#include "engine/RowLookup.h"
#include "platform/MessageLoop.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zendrel::test {

// One answer of a scripted server.
struct Answer {
    Answer(std::string t, int s = 200, std::string r = {})
        : text(std::move(t)), status(s), retryAfter(std::move(r)) {}
    std::string text;
    int status;
    std::string retryAfter;
};

// The servers of a test, by the host of the lookup's address: how long each takes to answer,
// what it answers to its n-th query, and when each lookup started.
struct ScriptedServers {
    std::map<std::string, std::function<Answer(int n, const std::string& name)>> answer;
    std::map<std::string, Millis> delay;
    std::map<std::string, std::vector<std::pair<Millis, std::string>>> starts;
};

inline std::string hostOf(const std::string& address) {
    std::size_t from = address.find("://") + 3;
    return address.substr(from, address.find_first_of(":/", from) - from);
}

// A lookup kind whose transfer is an answer of the scripted server its address names; like a
// real one it reports from the loop, never from inside `start` or `abort`.
class ServerLookup final : public RowLookup {
public:
    ServerLookup(const LookupContext& c, LookupRequest r, ScriptedServers& servers)
        : RowLookup(c, std::move(r)), servers_(servers),
          wire_(c.loop, *this, &ServerLookup::onWire) {}
    ~ServerLookup() override { wire_.killTimer(1); }
    void abort() override { wire_.post(kAborted); }

protected:
    void begin() override {
        host_ = hostOf(request().address);
        auto& starts = servers_.starts[host_];
        std::string name = request().address.substr(request().address.rfind('/') + 1);
        starts.emplace_back(context().loop.now(), name);
        n_ = static_cast<int>(starts.size());
        wire_.setTimer(1, std::max<Millis>(1, servers_.delay[host_]));
    }

private:
    static constexpr unsigned kAborted = WM_USER + 1;

    void onWire(const Message& m) {
        if (ended_)
            return;
        ended_ = true;
        wire_.killTimer(1);
        if (m.msg == kAborted) {
            finish(LookupFailure::Network, 10053, 0);
            return;
        }
        Answer a = servers_.answer[host_](n_, servers_.starts[host_][n_ - 1].second);
        if (!a.retryAfter.empty())
            setRetryAfter(a.retryAfter);
        received(a.text);
        finish(LookupFailure::None, 0, a.status);
    }

    ScriptedServers& servers_;
    HiddenWindow<ServerLookup> wire_;
    std::string host_;
    int n_ = 0;
    bool ended_ = false;
};

} // namespace zendrel::test
