// DNS messages are read and written by hand: the responder needs one question, a header and at
// most two NS records, whose names point back into the question with a compression pointer.
#include "tools/world/DnsAnswer.h"

#include <cstdint>

namespace zendrel::world {

namespace {

constexpr std::uint16_t kTypeNs = 2;
constexpr std::uint16_t kTypeAny = 255;
constexpr int kHeaderSize = 12;

enum Rcode : std::uint16_t { NoError = 0, FormErr = 1, ServFail = 2, NxDomain = 3, NotImp = 4 };

std::uint16_t read16(std::string_view p, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(p[at]) << 8 |
                                      static_cast<unsigned char>(p[at + 1]));
}

void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xff);
}

struct Question {
    std::string name;      // dotted, as asked
    std::string_view wire; // name, type and class as they stood in the query
    std::uint16_t type = 0;
};

// Reads the one question after the header; none when it is malformed or compressed.
std::optional<Question> readQuestion(std::string_view p) {
    Question q;
    std::size_t at = kHeaderSize;
    for (;;) {
        if (at >= p.size())
            return std::nullopt;
        auto length = static_cast<unsigned char>(p[at++]);
        if (length == 0)
            break;
        if (length > 63 || at + length > p.size() || q.name.size() + length > 253)
            return std::nullopt;
        if (!q.name.empty())
            q.name += '.';
        q.name.append(p.substr(at, length));
        at += length;
    }
    if (at + 4 > p.size())
        return std::nullopt;
    q.type = read16(p, at);
    q.wire = p.substr(kHeaderSize, at + 4 - kHeaderSize);
    return q;
}

std::string header(std::string_view query, Rcode rcode, bool withQuestion, int answers) {
    std::uint16_t flags = read16(query, 2);
    std::uint16_t reply = 0x8000 | (flags & 0x7800) | 0x0400 | (flags & 0x0100) | 0x0080 | rcode;
    std::string out(query.substr(0, 2));
    put16(out, reply);
    put16(out, withQuestion ? 1 : 0);
    put16(out, static_cast<std::uint16_t>(answers));
    put16(out, 0);
    put16(out, 0);
    return out;
}

// An NS record for the question's name whose target is "<label>." + that name.
void putNameServer(std::string& out, const char* label) {
    put16(out, 0xC000 | kHeaderSize); // the owner is the question's name
    put16(out, kTypeNs);
    put16(out, 1); // class IN
    put16(out, 0);
    put16(out, 3600); // TTL
    put16(out, 6);    // rdata: a 3-letter label, then a pointer
    out += '\3';
    out += label;
    put16(out, 0xC000 | kHeaderSize);
}

} // namespace

std::optional<std::string>
DnsAnswer(std::string_view packet,
          const std::function<Delegation(const std::string&)>& delegationOf) {
    if (packet.size() < kHeaderSize || (read16(packet, 2) & 0x8000))
        return std::nullopt;
    if ((read16(packet, 2) >> 11 & 0xF) != 0)
        return header(packet, NotImp, false, 0);
    auto q = read16(packet, 4) == 1 ? readQuestion(packet) : std::nullopt;
    if (!q)
        return header(packet, FormErr, false, 0);
    Delegation d = delegationOf(CanonicalName(q->name));
    if (d == Delegation::Silent)
        return std::nullopt;
    bool nsAsked = q->type == kTypeNs || q->type == kTypeAny;
    Rcode rcode = d == Delegation::NxDomain   ? NxDomain
                  : d == Delegation::ServFail ? ServFail
                                              : NoError;
    int answers = d == Delegation::Delegated && nsAsked ? 2 : 0;
    std::string out = header(packet, rcode, true, answers);
    out.append(q->wire);
    if (answers) {
        putNameServer(out, "ns1");
        putNameServer(out, "ns2");
    }
    return out;
}

} // namespace zendrel::world
