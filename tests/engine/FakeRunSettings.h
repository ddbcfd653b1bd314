#pragma once

#include "engine/RunSettings.h"

namespace zendrel::test {

// Run options a test sets directly; the run reads them whenever it needs one.
struct FakeRunSettings : RunSettings {
    int links = 10;
    int seconds = 50;
    bool resume = false;
    int resumeLimit = 0;
    bool deleteRows = false;
    ConnectionSettings connection{};
    bool dns = false;
    std::string nameServers;
    int linkLimit() const override { return links; }
    int timeLimit() const override { return seconds; }
    bool autoResume() const override { return resume; }
    int autoResumeLimit() const override { return resumeLimit; }
    bool deleteUnavailable() const override { return deleteRows; }
    ConnectionSettings connectionSettings() const override { return connection; }
    bool dnsFirst() const override { return dns; }
    std::string dnsServers() const override { return nameServers; }
};

} // namespace zendrel::test
