// Generates the internet workspace's zone table and method table. Each zone row names its
// protocol: "rdap" rows take the registry's server from IANA's bootstrap file (never a
// redirector, never a server the file does not list, so a 404 always comes from the registry
// that would hold the name), "whois" rows name their port-43 server and query form. A method is
// a server family's extraction steps plus the zone's own verdict phrases; zones that read alike
// share one method.
#include "tools/tables/RegistryTables.h"

#include "lookup/MethodTable.h"
#include "lookup/SplitFields.h"
#include "lookup/TextRules.h"
#include "lookup/UrlTemplate.h"
#include "lookup/ZoneOptions.h"
#include "platform/Files.h"
#include "tools/tables/Csv.h"
#include "tools/tables/RdapBootstrap.h"

#include <algorithm>
#include <map>
#include <optional>

namespace zendrel::tables {

namespace {

const char* const kDefaultPace = "1/s";
const char* const kDefaultConns = "2";

struct Family {
    std::string fields;
    std::vector<std::string> taken, free, hold;
};

class Generator {
public:
    explicit Generator(const TablesInput& input) : input_(input) {}

    GeneratedTables run() {
        bootstrap_ = ReadRdapBootstrap(input_.bootstrapJson);
        if (!bootstrap_.error.empty())
            fail("dns.json", bootstrap_.error);
        readFamilies();
        CsvFile zones = ReadCsv(input_.registriesCsv);
        if (!zones.error.empty())
            fail("registries.csv", zones.error);
        out_.domainTxt = "Generated from tools/registries/ by scripts/registry-tables (IANA "
                         "bootstrap of " +
                         bootstrap_.publication + "): edit the sources, not this file.\n";
        for (const CsvRecord& row : zones.records)
            addZone(row);
        checkZoneOrder(zones);
        out_.methodTxt = std::string(kMethodHeader) + "\n";
        for (const std::string& line : methodLines_)
            out_.methodTxt += line + "\n";
        return std::move(out_);
    }

private:
    void fail(const std::string& where, const std::string& why) {
        out_.errors.push_back(where.empty() ? why : where + ": " + why);
    }
    void fail(int registriesLine, const std::string& why) {
        fail(Where("registries.csv", registriesLine), why);
    }
    static std::string Where(const char* file, int line) {
        return std::string(file) + " line " + std::to_string(line);
    }

    // "a|b|c" into phrases; "\t" stands for a TAB, which some servers put between label and value.
    std::vector<std::string> phrases(const std::string& cell, const std::string& where) {
        std::vector<std::string> list;
        if (cell.empty())
            return list;
        for (const std::string& written : SplitFields('|', cell)) {
            std::string phrase;
            for (std::size_t i = 0; i < written.size(); ++i) {
                const bool tab = written.compare(i, 2, "\\t") == 0;
                phrase += tab ? '\t' : written[i];
                i += tab ? 1 : 0;
            }
            if (TrimBlanks(phrase).empty() || phrase.find(';') != std::string::npos)
                fail(where, "phrase \"" + phrase + "\" is empty or contains ';'");
            list.push_back(LowerCase(phrase));
        }
        return list;
    }

    void readFamilies() {
        CsvFile file = ReadCsv(input_.familiesCsv);
        if (!file.error.empty())
            fail("families.csv", file.error);
        for (const CsvRecord& row : file.records) {
            const std::string where = Where("families.csv", row.line);
            Family family{row["fields"], phrases(row["taken"], where), phrases(row["free"], where),
                          phrases(row["hold"], where)};
            if (!families_.emplace(row["family"], std::move(family)).second)
                fail(where, "family given twice");
        }
    }

    // The method for a family with the zone's phrases added: taken|free|hold in groups of three.
    std::optional<int> methodFor(const CsvRecord& row) {
        auto it = families_.find(row["family"]);
        if (it == families_.end()) {
            fail(row.line, "unknown family \"" + row["family"] + "\"");
            return std::nullopt;
        }
        Family all = it->second;
        auto add = [](std::vector<std::string>& to, std::vector<std::string> more) {
            to.insert(to.end(), more.begin(), more.end());
        };
        const std::string where = Where("registries.csv", row.line);
        add(all.taken, phrases(row["taken"], where));
        add(all.free, phrases(row["free"], where));
        add(all.hold, phrases(row["hold"], where));
        std::string verdicts;
        std::size_t groups = std::max({all.taken.size(), all.free.size(), all.hold.size()});
        for (std::size_t g = 0; g < groups; ++g) {
            for (const std::vector<std::string>* list : {&all.taken, &all.free, &all.hold}) {
                if (!verdicts.empty() || g > 0 || list != &all.taken)
                    verdicts += '|';
                if (g < list->size())
                    verdicts += (*list)[g];
            }
        }
        std::string body = all.fields.empty() ? verdicts : all.fields + ";" + verdicts;
        auto [known, added] = methodByBody_.emplace(body, methodByBody_.size() + 1);
        if (added) {
            methodLines_.push_back(std::to_string(known->second) + ";" + body);
            checkMethodColumns(methodLines_.back(), row.line);
        }
        return known->second;
    }

    void checkMethodColumns(const std::string& line, int rowLine) {
        MethodTable table;
        ReadMethodTable(std::string(kMethodHeader) + "\n" + line, table);
        int columns = 0;
        const std::vector<std::string>& items = table.entries().back().items;
        for (std::size_t i = 1; i + 1 < items.size(); ++i)
            if (items[i].empty() || items[i][0] != '~')
                ++columns;
        if (columns > table.extraColumnCount())
            fail(rowLine, "the family fills more columns than the header names");
    }

    std::optional<std::string> address(const CsvRecord& row) {
        const std::string& protocol = row["protocol"];
        if (protocol == "rdap") {
            std::optional<std::string> base = FindRdapBase(bootstrap_, row["zone"]);
            if (!base) {
                fail(row.line, "no RDAP server for this zone in the bootstrap file");
                return std::nullopt;
            }
            std::string url;
            for (char c : *base)
                url += c == '%' ? std::string("%%") : std::string(1, c);
            if (!url.ends_with('/'))
                url += '/';
            return url + "domain/%s";
        }
        if (protocol == "whois") {
            const std::string query = row["query"].empty() ? "%s" : row["query"];
            if (row["server"].empty() || row["server"].find('/') != std::string::npos) {
                fail(row.line, "a whois row needs a server (HOST or HOST:PORT)");
                return std::nullopt;
            }
            return "whois://" + row["server"] + "/" + query;
        }
        fail(row.line, "protocol must be rdap or whois");
        return std::nullopt;
    }

    std::vector<std::string> options(const CsvRecord& row) {
        std::vector<std::string> list;
        if (row["protocol"] == "rdap")
            list.push_back("rdap");
        list.push_back("pace=" + (row["pace"].empty() ? std::string(kDefaultPace) : row["pace"]));
        list.push_back("conns=" +
                       (row["conns"].empty() ? std::string(kDefaultConns) : row["conns"]));
        for (const std::string& phrase : phrases(row["busy"], Where("registries.csv", row.line)))
            list.push_back("busy=" + phrase);
        if (row["nodns"] == "yes")
            list.push_back("nodns");
        ZoneOptions parsed;
        for (const std::string& option : list)
            if (std::optional<std::string> why = ApplyZoneOption(option, parsed))
                fail(row.line, "option \"" + option + "\": " + *why);
        return list;
    }

    void addZone(const CsvRecord& row) {
        const std::string& zone = row["zone"];
        if (zone.empty() || zone.find_first_of("; ") != std::string::npos) {
            fail(row.line, "zone \"" + zone + "\" is empty or has a blank or ';'");
            return;
        }
        std::optional<std::string> url = address(row);
        std::optional<int> method = methodFor(row);
        std::vector<std::string> opts = options(row);
        if (!url || !method)
            return;
        if (!IsUsableUrlTemplate(*url) || url->find("%s") == std::string::npos ||
            url->find(';') != std::string::npos)
            fail(row.line, "address \"" + *url + "\" needs exactly one %s and no ';'");
        std::string label = url->substr(url->find("//") + 2);
        label = zone + " at " + label.substr(0, label.find('/'));
        std::string line = label + ";" + *url + ";" + std::to_string(*method) + ";" + zone;
        for (const std::string& o : opts)
            line += ";" + o;
        out_.domainTxt += line + "\n";
    }

    // The first zone that ends a name serves it, so "co.uk" must come before "uk".
    void checkZoneOrder(const CsvFile& zones) {
        for (std::size_t i = 0; i < zones.records.size(); ++i)
            for (std::size_t j = i + 1; j < zones.records.size(); ++j) {
                const std::string& early = zones.records[i]["zone"];
                const std::string& late = zones.records[j]["zone"];
                if (late == early || late.ends_with("." + early))
                    fail(zones.records[j].line, "zone \"" + late + "\" is served by \"" + early +
                                                    "\" above it; list it first");
            }
    }

    const TablesInput& input_;
    RdapBootstrap bootstrap_;
    std::map<std::string, Family> families_;
    std::map<std::string, int> methodByBody_;
    std::vector<std::string> methodLines_;
    GeneratedTables out_;
};

} // namespace

GeneratedTables GenerateRegistryTables(const TablesInput& input) {
    return Generator(input).run();
}

bool ReadTablesInput(const std::string& folder, TablesInput& input, std::string& error) {
    const std::pair<const char*, std::string*> files[] = {{"registries.csv", &input.registriesCsv},
                                                          {"families.csv", &input.familiesCsv},
                                                          {"dns.json", &input.bootstrapJson}};
    for (const auto& [name, text] : files) {
        if (!ReadFileBytes(folder + name, *text)) {
            error = folder + name + " cannot be read";
            return false;
        }
    }
    return true;
}

} // namespace zendrel::tables
