// The cache is small and bounded: a search talks to a few dozen registries, and each new
// ticket replaces the one before it for that server.
#include "net/TlsSessionCache.h"

#include <map>
#include <mutex>
#include <openssl/ssl.h>

namespace zendrel {

namespace {

constexpr std::size_t kMaxServers = 256;

struct Cache {
    std::mutex lock;
    std::map<std::string, SSL_SESSION*> sessions;
};

// Never destroyed: OpenSSL may already be cleaned up when static objects go.
Cache& TheCache() {
    static Cache* const cache = new Cache;
    return *cache;
}

int KeyIndex() {
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

// Takes ownership of `session` (returns 1) when it is kept.
int KeepSession(SSL* ssl, SSL_SESSION* session) {
    const auto* key = static_cast<const std::string*>(SSL_get_ex_data(ssl, KeyIndex()));
    if (key == nullptr || SSL_SESSION_is_resumable(session) != 1)
        return 0;
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> hold(cache.lock);
    auto it = cache.sessions.find(*key);
    if (it != cache.sessions.end()) {
        SSL_SESSION_free(it->second);
        it->second = session;
        return 1;
    }
    if (cache.sessions.size() >= kMaxServers) {
        SSL_SESSION_free(cache.sessions.begin()->second);
        cache.sessions.erase(cache.sessions.begin());
    }
    cache.sessions.emplace(*key, session);
    return 1;
}

} // namespace

void KeepOfferedSessions(SSL_CTX* ctx) {
    SSL_CTX_set_session_cache_mode(ctx, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(ctx, KeepSession);
}

void ResumeSessionOf(SSL* ssl, const std::string& key) {
    if (KeyIndex() < 0 || SSL_set_ex_data(ssl, KeyIndex(), const_cast<std::string*>(&key)) != 1)
        return;
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> hold(cache.lock);
    auto it = cache.sessions.find(key);
    if (it != cache.sessions.end())
        SSL_set_session(ssl, it->second); // takes its own reference
}

} // namespace zendrel
