#include "engine/DnsPrecheck.h"

#include <exception>

namespace zendrel {

namespace {

constexpr unsigned kAnswer = WM_USER + 1;
// A name's answer helps only while its row waits for it: a short time per try and two tries,
// after which the row goes to its registry as it would have anyway.
constexpr int kTimeoutMs = 1500;
constexpr int kTries = 2;

} // namespace

DnsPrecheck::DnsPrecheck(MessageLoop& loop, Done done)
    : loop_(loop), done_(std::move(done)), window_(loop, *this, &DnsPrecheck::onAnswer) {}

DnsPrecheck::~DnsPrecheck() {
    cancelAll();
}

bool DnsPrecheck::useServers(const std::string& servers) {
    if (resolver_ && servers == servers_)
        return true;
    cancelAll();
    resolver_.reset();
    servers_ = servers;
    try {
        auto resolver = std::make_unique<AresResolver>(loop_, kTimeoutMs, kTries);
        if (!servers.empty() && !resolver->SetServers(servers))
            return false;
        resolver_ = std::move(resolver);
    } catch (const std::exception&) {
        return false; // no resolver: rows go to their registries unchecked
    }
    return true;
}

bool DnsPrecheck::ask(std::size_t row, std::string_view name) {
    if (!resolver_ || full())
        return false;
    // The final dot makes the name fully qualified, so no resolver turns it into a longer one.
    std::string fqdn(name);
    if (fqdn.empty() || fqdn.back() != '.')
        fqdn += '.';
    rows_[resolver_->StartNs(fqdn, window_.targetId(), kAnswer)] = row;
    return true;
}

void DnsPrecheck::cancelAll() {
    if (resolver_)
        for (const auto& [handle, row] : rows_)
            resolver_->Cancel(handle);
    rows_.clear();
}

void DnsPrecheck::onAnswer(const Message& m) {
    auto it = rows_.find(static_cast<AresResolver::Handle>(m.wParam));
    if (it == rows_.end())
        return;
    const std::size_t row = it->second;
    rows_.erase(it);
    done_(row, m.lParam == 1);
}

} // namespace zendrel
