#pragma once

#include "lookup/ClassifyReply.h"
#include "lookup/MethodTable.h"
#include "lookup/RdapReplyText.h"
#include "lookup/TextRules.h"
#include "lookup/ZoneTable.h"
#include "tests/lookup/MemoryRow.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel::test {

// The shipped internet workspace's tables, and a reply read the way a lookup of its zone line
// reads it: RDAP replies through the RDAP text, busy phrases before any verdict.
class InternetWorkspace {
public:
    InternetWorkspace() {
        LoadZoneTable(ZENDREL_INTERNET_DATA, zones);
        LoadMethodTable(ZENDREL_INTERNET_DATA, methods);
    }

    struct Outcome {
        std::string state; // "refused" when a busy phrase of the line matched
        std::vector<std::string> columns;
    };

    // `status` is the HTTP status for an RDAP line and ignored for a port-43 line.
    Outcome read(const std::string& name, const std::string& reply, int status = 200) const {
        const ZoneEntry* zone = FindZoneEntry(zones, name);
        EXPECT_NE(zone, nullptr) << name;
        return zone ? readOn(*zone, reply, status) : Outcome{};
    }

    // The same for a reply read with `line`'s method and options, whatever name it is for.
    Outcome readOn(const ZoneEntry& line, const std::string& reply, int status = 200) const {
        const std::string text = line.options.rdap ? RdapReplyText(status, reply) : reply;
        if (FindBusyPhrase(line.options, text))
            return {"refused", {}};
        MemoryRow row(methods.extraColumnCount());
        ClassifyReply(row, text, ReadDataInteger(line.methodNumber).value_or(0), methods);
        return {row.state, row.extra};
    }

    ZoneTable zones;
    MethodTable methods;
};

} // namespace zendrel::test
