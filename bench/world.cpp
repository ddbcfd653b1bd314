// A search of 2,000 names over six simulated registries, each with its own limit and its own way
// of refusing (the recorded AFNIC and registro.br refusals that also say "not found", Nominet's
// quota text, HTTP 429 with and without Retry-After, empty replies), against the best any client
// could do under those limits; then the same search with "Check DNS first" when 70 % of the names
// are delegated. The limits are the published ones' kind, ten times faster, so a run takes
// about half a minute instead of five.
#include "engine/RunSettings.h"
#include "engine/SearchSession.h"
#include "engine/SearchWindow.h"
#include "platform/MessageLoop.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorldProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace zendrel;

namespace {

constexpr int kNames = 2000;

// One simulated registry: its section of the world's configuration, the zone it serves, the
// zone line's address path, method and options (its pace is added from the limit), and its
// limit in lookups per second.
struct Registry {
    const char* name;
    const char* zone;
    const char* world; // the section's keys
    const char* path;
    int method;
    const char* options;
    int perSecond;
};

const Registry kRegistries[] = {
    {"verisign", "com", "serve = web\nrefusal = empty\n", "/whois?name=%s", 1, "conns=2", 10},
    {"afnic", "fr",
     "serve = web\nrefusal = afnic\nfree = text %% No entries found in the AFNIC Database.\\n\n",
     "/whois?name=%s", 3, "conns=2;busy=too many requests", 10},
    {"registrobr", "br",
     "serve = web\nrefusal = registro.br\nfree = text % No match for {name}\\n\n", "/whois?name=%s",
     1, "conns=2;busy=query rate limit exceeded", 10},
    {"nominet", "uk", "serve = web\nrefusal = nominet\n", "/whois?name=%s", 1,
     "conns=2;busy=the whois query quota for", 50},
    {"rdap", "net", "serve = rdap\nrefusal = status 429 retry-after=2\n", "/rdap/domain/%s", 2,
     "rdap;conns=2", 10},
    {"centralnic", "xyz", "serve = rdap\nrefusal = status 429\n", "/rdap/domain/%s", 2,
     "rdap;conns=2", 20},
};

const char* const kMethods = "0;Registrar;Created\n"
                             "1;Registrar:;Creation Date:;Registrar:|No match for|serverHold\n"
                             "2;registrar:;registration:;ldhname:|rdap status: 404|server hold\n"
                             "3;Registrar:;Creation Date:;Registrar:|No entries found|serverHold\n";

std::string nameOf(int i) {
    std::string name = "n";
    name += std::to_string(i);
    name += '.';
    name += kRegistries[static_cast<std::size_t>(i) % std::size(kRegistries)].zone;
    return name;
}

// 70 % registered and delegated, 5 % registered without name servers (DNS cannot tell), 25 %
// free; spread over the list by a fixed mix so every run holds the same names.
enum class Kind { Delegated, Undelegated, Free };
Kind kindOf(int i) {
    const unsigned h = (static_cast<unsigned>(i) * 2654435761u) % 100;
    return h < 70 ? Kind::Delegated : h < 75 ? Kind::Undelegated : Kind::Free;
}

struct Options : RunSettings {
    bool dns = false;
    std::string servers;
    int linkLimit() const override { return 20; }
    int timeLimit() const override { return 10; }
    bool autoResume() const override { return false; }
    int autoResumeLimit() const override { return 0; }
    bool deleteUnavailable() const override { return false; }
    ConnectionSettings connectionSettings() const override { return {}; }
    bool dnsFirst() const override { return dns; }
    std::string dnsServers() const override { return servers; }
};

struct Events : SearchListener {
    bool finished = false;
    long refusals = 0;
    void lookupEnded(std::size_t, const LookupOutcome& outcome) override {
        refusals += outcome.refused ? 1 : 0;
    }
    void runFinished(RunEnd) override { finished = true; }
};

void WriteWorld(const test::TempDir& dir) {
    std::string names;
    for (int i = 0; i < kNames; ++i) {
        if (kindOf(i) == Kind::Delegated)
            names += nameOf(i) + "\n";
        else if (kindOf(i) == Kind::Undelegated)
            names += nameOf(i) + " registered nxdomain\n";
    }
    dir.write("names.txt", names);
    std::string config;
    for (const Registry& r : kRegistries)
        config += std::string("[registry ") + r.name + "]\n" + r.world + "names = names.txt\n" +
                  "limit = " + std::to_string(r.perSecond) + "/s\ngrace = 100\nconns = 2\n" +
                  "busy = empty\nabuse = 30/min\nblock = 20\nblocked = reset\n\n";
    dir.write("world.conf", config + "[dns]\n");
}

struct Result {
    double seconds = 0;
    long refusals = 0;
    long falseAvailable = 0;
    long noData = 0;
    long ruledOutByDns = 0;
    long registryQueries = 0;
};

// A search of the first `names` names; the zone lines pace at `paceFactor` times the
// registries' limits (1: as published).
Result Search(bool dnsFirst, int names = kNames, int paceFactor = 1) {
    test::TempDir dir;
    WriteWorld(dir);
    test::WorldProcess world(ZENDREL_BINARY_DIR "/tools/zendrel-world", dir.file("world.conf"),
                             120000);
    MessageLoop loop;
    NoSearchWindow window;
    Options options;
    options.dns = dnsFirst;
    options.servers = "127.0.0.1:" + std::to_string(world.port("dns"));
    Events events;
    SearchSession session(loop, window, options);
    std::string zones;
    for (const Registry& r : kRegistries)
        zones += std::string(r.name) + ";http://127.0.0.1:" + std::to_string(world.port(r.name)) +
                 r.path + ";" + std::to_string(r.method) + ";" + r.zone + ";" + r.options +
                 ";pace=" + std::to_string(r.perSecond * paceFactor) + "/s\n";
    ZoneTable table;
    ReadZoneTable(zones, table);
    session.setZoneTable(std::move(table));
    MethodTable methods;
    ReadMethodTable(kMethods, methods);
    session.setMethodTable(std::move(methods));
    session.addListener(events);
    for (int i = 0; i < names; ++i)
        session.rows().append(nameOf(i));

    const auto t0 = std::chrono::steady_clock::now();
    session.lookUpRows();
    loop.runUntil([&] { return events.finished; }, 1800000);
    Result r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    r.refusals = events.refusals;
    for (int i = 0; i < names; ++i) {
        const auto row = static_cast<std::size_t>(i);
        const std::string_view state = session.rows().subItem(row, ResultStore::kState);
        r.falseAvailable += state == "is available" && kindOf(i) != Kind::Free;
        r.noData += state == "no data";
        r.ruledOutByDns += session.rows().subItem(row, ResultStore::kTime) == "dns";
    }
    for (const auto& [key, value] : world.stop())
        if (key.ends_with(".queries") && !key.starts_with("dns."))
            r.registryQueries += value;
    return r;
}

// The best any client could do: every registry answering its share of the names at exactly its
// limit, all at once.
double BoundNamesPerMinute() {
    double slowest = 0;
    for (std::size_t z = 0; z < std::size(kRegistries); ++z) {
        int share = 0;
        for (int i = 0; i < kNames; ++i)
            share += static_cast<std::size_t>(i) % std::size(kRegistries) == z;
        slowest = std::max(slowest, static_cast<double>(share) / kRegistries[z].perSecond);
    }
    return kNames / slowest * 60;
}

} // namespace

int main() {
    const Result plain = Search(false);
    const double perMinute = kNames / plain.seconds * 60;
    const double bound = BoundNamesPerMinute();
    std::printf("world.names_per_min: %.0f names/min\n", perMinute);
    std::printf("world.bound_names_per_min: %.0f names/min\n", bound);
    std::printf("world.names_per_min_of_bound: %.3f ratio\n", perMinute / bound);
    std::printf("world.false_available: %ld names\n", plain.falseAvailable);
    std::printf("world.refusals: %ld refusals\n", plain.refusals);
    std::printf("world.no_data: %ld names\n", plain.noData);

    const Result dns = Search(true);
    const double saved = 1.0 - static_cast<double>(dns.registryQueries) /
                                   static_cast<double>(std::max(1L, plain.registryQueries));
    std::printf("dns.registry_queries_saved_ratio: %.3f ratio\n", saved);
    std::printf("dns.false_available: %ld names\n", dns.falseAvailable);
    std::printf("dns.names_ruled_out: %ld names\n", dns.ruledOutByDns);

    // A client told to go three times faster than the registries allow meets every kind of
    // refusal, and still never takes one for a verdict.
    const Result rushed = Search(false, 300, 3);
    std::printf("world.rushed_refusals: %ld refusals\n", rushed.refusals);
    std::printf("world.rushed_false_available: %ld names\n", rushed.falseAvailable);
    std::printf("world.rushed_no_data: %ld names\n", rushed.noData);
    std::printf("world.rushed_seconds: %.1f s\n", rushed.seconds);
    return 0;
}
