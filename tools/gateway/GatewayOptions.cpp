#include "tools/gateway/GatewayOptions.h"

#include <charconv>
#include <limits>

namespace zendrel::gateway {

namespace {

bool readNumber(const std::string& text, long max, long& out) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > max)
        return false;
    out = value;
    return true;
}

std::optional<ReplyMode> readMode(const std::string& text) {
    if (text == "normal")
        return ReplyMode::Normal;
    if (text == "close")
        return ReplyMode::Close;
    if (text == "reset")
        return ReplyMode::Reset;
    if (text == "trickle")
        return ReplyMode::Trickle;
    return std::nullopt;
}

// Applies an option that takes a value; false when the value is unusable.
bool applyValued(GatewayOptions& o, const std::string& name, const std::string& value) {
    constexpr long kMaxMs = 24L * 3600 * 1000;
    long n = 0;
    if (name == "--names") {
        o.nameFiles.push_back(value);
        return !value.empty();
    }
    if (name == "--mode") {
        auto mode = readMode(value);
        o.mode = mode.value_or(o.mode);
        return mode.has_value();
    }
    long max = name == "--port" ? 65535 : name == "--max-requests" ? 1000000000L : kMaxMs;
    if (!readNumber(value, max, n))
        return false;
    if (name == "--port")
        o.port = static_cast<std::uint16_t>(n);
    else if (name == "--delay-ms")
        o.delayMs = static_cast<int>(n);
    else if (name == "--trickle-ms")
        o.trickleMs = static_cast<int>(n);
    else if (name == "--max-requests")
        o.maxRequests = n;
    else
        o.idleExitMs = static_cast<int>(n);
    return true;
}

bool takesValue(const std::string& name) {
    return name == "--port" || name == "--names" || name == "--delay-ms" || name == "--mode" ||
           name == "--trickle-ms" || name == "--max-requests" || name == "--idle-exit-ms";
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
    if (o.mode == ReplyMode::Trickle && o.trickleMs == 0) {
        error = "--trickle-ms must be at least 1";
        return std::nullopt;
    }
    return o;
}

std::string GatewayUsage() {
    return "usage: zendrel-gateway [options]\n"
           "A local web WHOIS gateway for tests and the demo workspace. It listens on 127.0.0.1\n"
           "only, prints its port as the first line on stdout and answers\n"
           "GET /whois?name=NAME with a WHOIS-style text page.\n"
           "  --port N             port to listen on; 0 picks a free one (default 18043)\n"
           "  --names FILE         more names: one per line, 'NAME' registered, 'NAME hold' on\n"
           "                       hold, '#' starts a comment (may be given several times)\n"
           "  --no-default-names   forget the built-in list of registered names\n"
           "  --delay-ms N         wait N ms before answering\n"
           "  --mode M             normal | close (no reply) | reset (cut mid-body) | trickle\n"
           "  --trickle-ms N       with --mode trickle: one byte every N ms (default 10)\n"
           "  --no-content-length  leave out the Content-Length header\n"
           "  --max-requests N     stop after answering N requests\n"
           "  --idle-exit-ms N     stop after N ms without any connection\n";
}

} // namespace zendrel::gateway
