#include "tools/gateway/GatewayOptions.h"

#include <charconv>

namespace zendrel::gateway {

namespace {

constexpr long kMaxMs = 24L * 3600 * 1000;

bool readNumber(const std::string& text, long max, long& out) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > max)
        return false;
    out = value;
    return true;
}

std::optional<ReplyMode> readMode(const std::string& text) {
    const std::pair<const char*, ReplyMode> modes[] = {
        {"normal", ReplyMode::Normal}, {"close", ReplyMode::Close},
        {"reset", ReplyMode::Reset},   {"trickle", ReplyMode::Trickle},
        {"silent", ReplyMode::Silent}, {"endless", ReplyMode::Endless},
        {"nul", ReplyMode::Nul},
    };
    for (const auto& [name, mode] : modes)
        if (text == name)
            return mode;
    return std::nullopt;
}

// A second listener's port: 0 means none, "free" any free port.
bool readListenerPort(const std::string& text, std::optional<std::uint16_t>& out) {
    if (text == "free") {
        out = 0;
        return true;
    }
    long n = 0;
    if (!readNumber(text, 65535, n))
        return false;
    if (n == 0)
        out.reset();
    else
        out = static_cast<std::uint16_t>(n);
    return true;
}

// Applies an option that takes a text value.
bool applyText(GatewayOptions& o, const std::string& name, const std::string& value) {
    if (value.empty())
        return false;
    if (name == "--names")
        o.nameFiles.push_back(value);
    else if (name == "--tls-cert")
        o.tlsCert = value;
    else if (name == "--tls-key")
        o.tlsKey = value;
    else
        o.makeCertificatesDir = value;
    return true;
}

// Applies an option that takes a number (or a port word); false when the value is unusable.
bool applyNumber(GatewayOptions& o, const std::string& name, const std::string& value) {
    if (name == "--whois-port")
        return readListenerPort(value, o.whoisPort);
    if (name == "--tls-port")
        return readListenerPort(value, o.tlsPort);
    long max = name == "--port" ? 65535 : name == "--max-requests" ? 1000000000L : kMaxMs;
    long n = 0;
    if (!readNumber(value, max, n))
        return false;
    if (name == "--port")
        o.port = static_cast<std::uint16_t>(n);
    else if (name == "--delay-ms")
        o.delayMs = static_cast<int>(n);
    else if (name == "--trickle-ms")
        o.trickleMs = static_cast<int>(n);
    else if (name == "--read-timeout-ms")
        o.readTimeoutMs = static_cast<int>(n);
    else if (name == "--max-requests")
        o.maxRequests = n;
    else
        o.idleExitMs = static_cast<int>(n);
    return true;
}

bool applyValued(GatewayOptions& o, const std::string& name, const std::string& value) {
    if (name == "--names" || name == "--tls-cert" || name == "--tls-key" ||
        name == "--make-certificates")
        return applyText(o, name, value);
    if (name != "--mode")
        return applyNumber(o, name, value);
    auto mode = readMode(value);
    o.mode = mode.value_or(o.mode);
    return mode.has_value();
}

bool takesValue(const std::string& name) {
    for (const char* known :
         {"--port", "--names", "--delay-ms", "--mode", "--trickle-ms", "--max-requests",
          "--idle-exit-ms", "--read-timeout-ms", "--whois-port", "--tls-port", "--tls-cert",
          "--tls-key", "--make-certificates"})
        if (name == known)
            return true;
    return false;
}

// The checks that concern several options at once; an empty text when they agree.
std::string disagreement(const GatewayOptions& o, std::size_t argCount) {
    if (o.mode == ReplyMode::Trickle && o.trickleMs == 0)
        return "--trickle-ms must be at least 1";
    if (o.readTimeoutMs == 0)
        return "--read-timeout-ms must be at least 1";
    if (!o.makeCertificatesDir.empty() && argCount != 2)
        return "--make-certificates DIR takes no other option";
    if (o.tlsPort && (o.tlsCert.empty() || o.tlsKey.empty()))
        return "--tls-port needs --tls-cert and --tls-key";
    if (!o.tlsPort && (!o.tlsCert.empty() || !o.tlsKey.empty()))
        return "--tls-cert and --tls-key need --tls-port";
    return {};
}

} // namespace

std::optional<GatewayOptions> ParseGatewayOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
    GatewayOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--no-content-length") {
            o.contentLength = false;
        } else if (arg == "--no-default-names") {
            o.builtInNames = false;
        } else if (arg == "--chunked") {
            o.chunked = true;
        } else if (!takesValue(arg)) {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (i + 1 == args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        } else if (!applyValued(o, arg, args[++i])) {
            error = "bad value for " + arg + ": " + args[i];
            return std::nullopt;
        }
    }
    error = disagreement(o, args.size());
    if (!error.empty())
        return std::nullopt;
    return o;
}

} // namespace zendrel::gateway
