#include "net/SocketAddress.h"

#include "net/SocketException.h"
#include "platform/IntegerText.h"

#include <arpa/inet.h>
#include <netdb.h>

namespace zendrel {

std::string TrimProperty(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

namespace {

std::string_view WithoutLeadingSpaces(const std::string& s) {
    const std::size_t i = s.find_first_not_of(' ');
    return i == std::string::npos ? std::string_view() : std::string_view(s).substr(i);
}

// Leading blanks are skipped and reading stops at the first non-digit, or soon after the value
// passes any port or protocol number.
long ReadDecimal(const std::string& s) {
    return static_cast<long>(ReadDigits(WithoutLeadingSpaces(s), 10, 99999).value);
}

bool StartsWithDigit(const std::string& s) {
    return ReadDigits(WithoutLeadingSpaces(s), 10, 0).length > 0;
}

} // namespace

in_addr_t WSocketResolveHost(const std::string& text) {
    if (text.empty() || text.size() > 256)
        throw ESocketException("WSocketResolveHost: '" + text + "' Invalid Hostname.");
    std::string host = TrimProperty(text);
    if (StartsWithDigit(host)) {
        in_addr a{};
        if (host == "255.255.255.255")
            return INADDR_BROADCAST;
        if (inet_aton(host.c_str(), &a) == 0)
            throw ESocketException("WSocketResolveHost: '" + text + "' Invalid IP address.");
        return a.s_addr;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* res = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res)
        throw ESocketException("WSocketResolveHost: Cannot convert host address '" + text + "'");
    in_addr_t a = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(res);
    return a;
}

std::uint16_t WSocketResolvePort(const std::string& text, const std::string& proto) {
    if (text.empty() || text.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Port.");
    if (StartsWithDigit(text))
        return static_cast<std::uint16_t>(ReadDecimal(text));
    servent buf{};
    servent* found = nullptr;
    char scratch[1024];
    if (getservbyname_r(TrimProperty(text).c_str(), proto.c_str(), &buf, scratch, sizeof scratch,
                        &found) != 0 ||
        !found)
        throw ESocketException("WSocketResolvePort: Cannot convert port '" + text + "'");
    return ntohs(static_cast<std::uint16_t>(found->s_port));
}

int WSocketResolveProto(const std::string& text) {
    if (text.empty() || text.size() >= 32)
        throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    if (StartsWithDigit(text))
        return static_cast<int>(ReadDecimal(text));
    protoent buf{};
    protoent* found = nullptr;
    char scratch[1024];
    if (getprotobyname_r(TrimProperty(text).c_str(), &buf, scratch, sizeof scratch, &found) != 0 ||
        !found) {
        // A machine without a protocols file still knows the two the socket can make.
        if (TrimProperty(text) == "tcp")
            return 6;
        if (TrimProperty(text) == "udp")
            return 17;
        throw ESocketException("WSocketResolveProto: Cannot convert protocol '" + text + "'");
    }
    return found->p_proto;
}

} // namespace zendrel
