#pragma once

#include "tools/world/NameBook.h"
#include "tools/world/RateWindow.h"
#include "tools/world/ReplyShape.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel::world {

// What a simulated registry speaks.
enum class Service {
    Whois, // port-43 text: one query line in, the text back, then close
    Rdap,  // HTTP; the status is the verdict, the body JSON
    Web,   // HTTP; a text page, as a web WHOIS gateway shows
};

// One [registry NAME] section: a registry on its own loopback port with its own limits.
struct RegistryTerms {
    std::string name;
    Service service = Service::Whois;
    int port = 0; // 0: a free one
    NameBook names;
    std::optional<Rate> limit; // answered queries per period
    int graceMs = 50;
    ReplyShape refusal;        // beyond the limit
    int conns = 0;             // queries answered at once; 0: any number
    ReplyShape busy;           // beyond `conns`
    std::optional<Rate> abuse; // refusals per period that start a block
    int blockSeconds = 60;
    ReplyShape blocked;
    int delayMs = 0;
    ReplyShape free, taken, hold;
};

// The [dns] section: a name server for the names of every registry (and its own list).
struct DnsSpec {
    int port = 0;
    NameBook names;
};

struct WorldConfig {
    std::vector<RegistryTerms> registries;
    std::optional<DnsSpec> dns;
};

// Reads a configuration; names files are found relative to `folder`. On failure, returns none
// and puts "line N: reason" into `error`.
std::optional<WorldConfig> ReadWorldConfig(std::string_view text, const std::string& folder,
                                           std::string& error);

// The configuration format, for --help.
std::string WorldConfigHelp();

} // namespace zendrel::world
