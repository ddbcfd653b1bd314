// The configuration of a simulated internet: sections of "key = value" lines, one section per
// registry and one for the name server. Values are trimmed; a reply text that must start with
// blanks writes its first one as "\ ".
#include "tools/world/WorldConfig.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace zendrel::world {

namespace {

const char* const kWhoisTaken = "Domain Name: {NAME}\nRegistrar: {registrar}\n"
                                "Registrar IANA ID: {iana}\nCreation Date: {created}\n"
                                "Registry Expiry Date: {expires}\nDomain Status: ok\n"
                                "Name Server: {NS1}\nName Server: {NS2}\n";
const char* const kWhoisHold = "Domain Name: {NAME}\nRegistrar: {registrar}\n"
                               "Registrar IANA ID: {iana}\nCreation Date: {created}\n"
                               "Registry Expiry Date: {expires}\nDomain Status: serverHold\n";
const char* const kRdapFree =
    "{\"errorCode\":404,\"title\":\"Not Found\",\"description\":[\"{name} not found\"]}";

std::string rdapDomain(const char* status, bool withNameServers) {
    std::string json = "{\"objectClassName\":\"domain\",\"ldhName\":\"{name}\",\"status\":[\"";
    json += status;
    json += "\"],\"entities\":[{\"objectClassName\":\"entity\",\"roles\":[\"registrar\"],"
            "\"publicIds\":[{\"type\":\"IANA Registrar ID\",\"identifier\":\"{iana}\"}],"
            "\"vcardArray\":[\"vcard\",[[\"version\",{},\"text\",\"4.0\"],"
            "[\"fn\",{},\"text\",\"{registrar}\"]]]}],"
            "\"events\":[{\"eventAction\":\"registration\",\"eventDate\":\"{created}T00:00:00Z\"},"
            "{\"eventAction\":\"expiration\",\"eventDate\":\"{expires}T00:00:00Z\"}]";
    if (withNameServers)
        json += ",\"nameservers\":[{\"objectClassName\":\"nameserver\",\"ldhName\":\"{ns1}\"},"
                "{\"objectClassName\":\"nameserver\",\"ldhName\":\"{ns2}\"}]";
    return json + "}";
}

ReplyShape text(std::string body, int status = 0) {
    return ReplyShape{ShapeKind::Text, status, -1, false, std::move(body)};
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return std::string(s);
}

std::optional<int> number(const std::string& text, int low, int high) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

class Reader {
public:
    explicit Reader(std::string folder) : folder_(std::move(folder)) {}

    bool line(std::string_view raw);
    bool finish();
    WorldConfig take() { return std::move(config_); }
    const std::string& error() const { return error_; }

private:
    bool fail(std::string reason) {
        error_ = std::move(reason);
        return false;
    }
    bool section(const std::string& header);
    bool registryKey(RegistryTerms& r, const std::string& key, const std::string& value);
    bool dnsKey(DnsSpec& d, const std::string& key, const std::string& value);
    bool readNames(NameBook& book, const std::string& file);
    bool readShape(ReplyShape& shape, const std::string& value);
    bool readRate(std::optional<Rate>& rate, const std::string& value);
    bool readNumber(int& out, const std::string& value, int low, int high);
    bool readService(Service& service, const std::string& value);
    bool finishRegistry();

    std::string folder_;
    WorldConfig config_;
    std::string error_;
    bool inDns_ = false;
    bool inRegistry_ = false;
    // Reply texts the section set itself; the rest take the defaults of its service.
    bool freeSet_ = false, takenSet_ = false, holdSet_ = false, blockedSet_ = false;
};

bool Reader::line(std::string_view raw) {
    std::string text = trimmed(raw);
    if (text.empty() || text[0] == '#')
        return true;
    if (text.front() == '[')
        return section(text);
    std::size_t eq = text.find('=');
    if (eq == std::string::npos)
        return fail("expected \"key = value\"");
    std::string key = trimmed(std::string_view(text).substr(0, eq));
    std::string value = trimmed(std::string_view(text).substr(eq + 1));
    if (inRegistry_)
        return registryKey(config_.registries.back(), key, value);
    if (inDns_)
        return dnsKey(*config_.dns, key, value);
    return fail("\"" + key + "\" outside a section");
}

bool Reader::section(const std::string& header) {
    if (header.back() != ']')
        return fail("a section header ends with ]");
    if (!finishRegistry())
        return false;
    std::string inside = trimmed(std::string_view(header).substr(1, header.size() - 2));
    inRegistry_ = inDns_ = false;
    if (inside == "dns") {
        if (config_.dns)
            return fail("a second [dns] section");
        config_.dns.emplace();
        inDns_ = true;
        return true;
    }
    if (!inside.starts_with("registry "))
        return fail("unknown section [" + inside + "]");
    std::string name = trimmed(std::string_view(inside).substr(9));
    if (name.empty() || name == "dns" || name.find_first_of(" \t") != std::string::npos)
        return fail("a registry needs a one-word name other than dns");
    for (const auto& r : config_.registries)
        if (r.name == name)
            return fail("a second registry named " + name);
    config_.registries.emplace_back().name = name;
    inRegistry_ = true;
    freeSet_ = takenSet_ = holdSet_ = blockedSet_ = false;
    return true;
}

bool Reader::registryKey(RegistryTerms& r, const std::string& key, const std::string& value) {
    struct ShapeKey {
        const char* key;
        ReplyShape* shape;
        bool* set;
    };
    const ShapeKey shapes[] = {
        {"refusal", &r.refusal, nullptr},      {"busy", &r.busy, nullptr},
        {"blocked", &r.blocked, &blockedSet_}, {"free", &r.free, &freeSet_},
        {"taken", &r.taken, &takenSet_},       {"hold", &r.hold, &holdSet_},
    };
    for (const auto& s : shapes) {
        if (key != s.key)
            continue;
        if (s.set)
            *s.set = true;
        return readShape(*s.shape, value);
    }
    struct NumberKey {
        const char* key;
        int* out;
        int low, high;
    };
    const NumberKey numbers[] = {
        {"conns", &r.conns, 1, 100000},   {"block", &r.blockSeconds, 1, 86400},
        {"delay", &r.delayMs, 0, 600000}, {"grace", &r.graceMs, 0, 3600000},
        {"port", &r.port, 0, 65535},
    };
    for (const auto& n : numbers)
        if (key == n.key)
            return readNumber(*n.out, value, n.low, n.high);
    if (key == "names")
        return readNames(r.names, value);
    if (key == "limit")
        return readRate(r.limit, value);
    if (key == "abuse")
        return readRate(r.abuse, value);
    if (key == "serve")
        return readService(r.service, value);
    return fail("unknown key \"" + key + "\"");
}

bool Reader::readService(Service& service, const std::string& value) {
    if (value == "whois")
        service = Service::Whois;
    else if (value == "rdap")
        service = Service::Rdap;
    else if (value == "web")
        service = Service::Web;
    else
        return fail("serve is whois, rdap or web");
    return true;
}

bool Reader::dnsKey(DnsSpec& d, const std::string& key, const std::string& value) {
    if (key == "names")
        return readNames(d.names, value);
    if (key != "port")
        return fail("unknown key \"" + key + "\" in [dns]");
    return readNumber(d.port, value, 0, 65535);
}

bool Reader::readNames(NameBook& book, const std::string& file) {
    std::string path = !file.empty() && file[0] == '/' ? file : folder_ + file;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail("cannot read names file " + path);
    std::ostringstream all;
    all << in.rdbuf();
    if (int bad = book.addText(all.str()))
        return fail("names file " + path + " line " + std::to_string(bad) + " is not readable");
    return true;
}

bool Reader::readShape(ReplyShape& shape, const std::string& value) {
    std::string why;
    auto parsed = ParseShape(value, why);
    if (!parsed)
        return fail(why);
    shape = *parsed;
    return true;
}

bool Reader::readRate(std::optional<Rate>& rate, const std::string& value) {
    rate = ParseRate(value);
    return rate ? true : fail("a rate is written N/s, N/min, N/h or N/d (e.g. 1800/15min)");
}

bool Reader::readNumber(int& out, const std::string& value, int low, int high) {
    auto n = number(value, low, high);
    if (!n)
        return fail("expected a number from " + std::to_string(low) + " to " +
                    std::to_string(high));
    out = *n;
    return true;
}

// Fills in the replies the section left to its service, and checks that an HTTP status is not
// asked of a port-43 server, which has no way to send one.
bool Reader::finishRegistry() {
    if (!inRegistry_)
        return true;
    RegistryTerms& r = config_.registries.back();
    bool rdap = r.service == Service::Rdap;
    if (!freeSet_)
        r.free = rdap ? text(kRdapFree, 404) : text("No match for \"{NAME}\".\n");
    if (!takenSet_)
        r.taken = rdap ? text(rdapDomain("active", true), 200) : text(kWhoisTaken);
    if (!holdSet_)
        r.hold = rdap ? text(rdapDomain("server hold", false), 200) : text(kWhoisHold);
    if (!blockedSet_)
        r.blocked = r.refusal;
    if (r.service == Service::Whois) {
        for (const ReplyShape* s : {&r.free, &r.taken, &r.hold, &r.refusal, &r.busy, &r.blocked})
            if (s->status != 0)
                return fail("registry " + r.name + " serves whois and cannot send a status");
    }
    return true;
}

bool Reader::finish() {
    if (!finishRegistry())
        return false;
    inRegistry_ = false;
    if (config_.registries.empty() && !config_.dns)
        return fail("no [registry NAME] or [dns] section");
    return true;
}

} // namespace

std::optional<WorldConfig> ReadWorldConfig(std::string_view text, const std::string& folder,
                                           std::string& error) {
    Reader reader(folder.empty() || folder.back() == '/' ? folder : folder + "/");
    int lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        ++lineNumber;
        if (!reader.line(text.substr(start, end - start))) {
            error = "line " + std::to_string(lineNumber) + ": " + reader.error();
            return std::nullopt;
        }
        start = end + 1;
    }
    if (!reader.finish()) {
        error = reader.error();
        return std::nullopt;
    }
    return reader.take();
}

std::string WorldConfigHelp() {
    return "Configuration (one section per server; '#' starts a comment line):\n"
           "  [registry NAME]        a registry on its own loopback port\n"
           "  serve = whois|rdap|web port-43 text, RDAP over HTTP, or text pages over HTTP\n"
           "  port = N               0 (default): a free port\n"
           "  names = FILE           names it holds: \"NAME [registered|hold|free]\n"
           "                         [delegated|nxdomain|nodata|servfail|silent]\" per line\n"
           "  limit = N/PERIOD       answers per period (s, min, h, d; e.g. 1800/15min)\n"
           "  grace = MS             slack on the period for uneven arrivals (default 50)\n"
           "  refusal = REPLY        what a query beyond the limit gets (default empty)\n"
           "  conns = N              queries answered at once; more get `busy = REPLY`\n"
           "  abuse = N/PERIOD       that many refusals within the period start a block\n"
           "  block = SECONDS        length of a block (default 60); `blocked = REPLY`\n"
           "  delay = MS             time before every reply (default 0)\n"
           "  free|taken|hold = REPLY  the answers (defaults follow the service)\n"
           "  [dns]                  a name server answering NS queries over UDP\n"
           "  port = N, names = FILE\n"
           "REPLY: empty | reset | silent | text BODY | status CODE [retry-after=S|retry-date=S]"
           " [BODY]\n"
           "       | a recorded refusal: " +
           BuiltInShapeNames() +
           "\n"
           "BODY: \\n, \\r, \\t, \\\\ escapes; {name} {NAME} {registrar} {iana} {created} "
           "{expires} {ns1} {ns2} {NS1} {NS2}\n";
}

} // namespace zendrel::world
