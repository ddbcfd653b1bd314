#pragma once

#include "net/AresResolver.h"
#include "net/HiddenWindow.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zendrel {

// Asks DNS, before any registry, whether a row's name is delegated: NS records for the name
// itself prove it registered. Nothing else proves anything (a registered name may be missing
// from DNS, a resolver may fail), so every other answer sends the row on to its registry.
// Queries run on a resolver channel of their own, up to kMostAtOnce at once, apart from the
// run's connections.
class DnsPrecheck {
public:
    static constexpr std::size_t kMostAtOnce = 100;
    // Called from the loop with the row and whether its name is delegated.
    using Done = std::function<void(std::size_t row, bool delegated)>;

    DnsPrecheck(MessageLoop& loop, Done done);
    ~DnsPrecheck();
    DnsPrecheck(const DnsPrecheck&) = delete;
    DnsPrecheck& operator=(const DnsPrecheck&) = delete;

    // Asks `servers` ("ip:port,ip:port") from now on, or the system's resolver when empty.
    // False when the list cannot be used or no resolver can be started; the check is then
    // unavailable until a usable list is given.
    bool useServers(const std::string& servers);
    bool available() const { return resolver_ != nullptr; }

    bool full() const { return rows_.size() >= kMostAtOnce; }
    std::size_t pending() const { return rows_.size(); }

    // Asks about `name` for `row`; false when the check is unavailable or full.
    bool ask(std::size_t row, std::string_view name);
    // Forgets every question asked; late answers are dropped.
    void cancelAll();

private:
    void onAnswer(const Message& m);

    MessageLoop& loop_;
    Done done_;
    HiddenWindow<DnsPrecheck> window_;
    std::unique_ptr<AresResolver> resolver_;
    std::optional<std::string> servers_; // the list the resolver asks; none before the first
    std::unordered_map<AresResolver::Handle, std::size_t> rows_;
};

} // namespace zendrel
