// Throughput of reading one gateway reply: a 64 KiB reply read with a method of 20 extraction
// steps, most of whose labels stand near the end so every search crosses the whole reply.
#include "lookup/ClassifyReply.h"
#include "lookup/MethodTable.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace zendrel;

namespace {

class SinkRow : public ReplyRow {
public:
    void setStateText(std::string_view text) override { state = text; }
    void setChecked(bool on) override { checked = on; }
    void setExtraColumn(int column, std::string_view text) override {
        if (column >= 0 && static_cast<std::size_t>(column) < extra.size())
            extra[static_cast<std::size_t>(column)] = text;
    }
    std::string state;
    bool checked = false;
    std::vector<std::string> extra = std::vector<std::string>(16);
};

std::string MakeReply() {
    std::string reply = "Domain Name: EXAMPLE.COM\r\n";
    for (int i = 0; reply.size() < 60 * 1024; ++i)
        reply += "Remark " + std::to_string(i) + ": Terms of use apply to this <b>record</b>\r\n";
    reply += "Registrar: Example Names Ltd (EX-1)\nCreation Date: 1998-02-11\n"
             "Updated Date: 2020-01-01\nExpiry Date: 2030-02-11\nRegistrant: Somebody\n"
             "Admin: Someone\nStatus: ok\nStatus: clientHold\n\n";
    for (int i = 1; i <= 4; ++i)
        reply += "Name Server: NS" + std::to_string(i) + ".EXAMPLE.NET\n";
    reply.resize(64 * 1024, ' ');
    return reply;
}

const char* const kMethods =
    "0;registrar;created;updated;expires;ns1;ns2;ns3;ns4;status;owner;second;admin\n"
    "9;Registrar:;Creation Date:;Updated Date:;Expiry Date:;{4~Name Server:;name server:;};"
    "-1~Status:;Registrant:;2~Registrar:;Admin:;domain name:|no match for|status: hold\n";

} // namespace

int main() {
    MethodTable methods;
    ReadMethodTable(kMethods, methods);
    const std::string reply = MakeReply();
    SinkRow row;
    long runs = 0;
    auto t0 = std::chrono::steady_clock::now();
    double seconds = 0;
    while (seconds < 1.0) {
        for (int i = 0; i < 20; ++i, ++runs)
            ClassifyReply(row, reply, 9, methods);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    double mb = static_cast<double>(reply.size()) * static_cast<double>(runs) / 1e6;
    std::printf("classify.reply_mb_per_s: %.1f MB/s\n", mb / seconds);
    return row.state == "is not available" && row.extra[4] == "ns1.example.net" ? 0 : 1;
}
