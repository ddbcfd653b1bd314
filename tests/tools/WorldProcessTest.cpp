#include "tests/support/WorldProcess.h"

#include "tests/support/LoopbackClient.h"
#include "tests/support/TempDir.h"

#include <ares.h>
#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zendrel::test {
namespace {

const char* const kConfig = R"(# three registries and a name server
[registry afnic]
names = fr.txt
limit = 2/min
refusal = afnic
abuse = 2/min
block = 1
blocked = reset

[registry rdap]
serve = rdap
names = fr.txt
limit = 1/min
refusal = status 429 retry-after=30

[registry web]
serve = web
names = fr.txt
conns = 1
busy = empty
hold = silent

[dns]
)";

class WorldProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.write("fr.txt", "shop.fr\nheld.fr hold\nquiet.fr registered nxdomain\n");
        dir_.write("world.conf", kConfig);
        world_ = std::make_unique<WorldProcess>(ZENDREL_BINARY_DIR "/tools/zendrel-world",
                                                dir_.file("world.conf"));
    }

    std::string whois(const std::string& query) {
        Received r = FetchLoopback(world_->port("afnic"), query + "\r\n");
        return r.reset ? "<reset>" : r.bytes;
    }

    TempDir dir_;
    std::unique_ptr<WorldProcess> world_;
};

TEST_F(WorldProcessTest, AThrottledRegistrySendsItsRefusalThenBlocks) {
    EXPECT_NE(whois("shop.fr").find("Domain Name: SHOP.FR"), std::string::npos);
    EXPECT_NE(whois("other.fr").find("No match for \"OTHER.FR\"."), std::string::npos);
    // Beyond the limit the answer looks like a "not found" reply with one line more.
    std::string refusal = whois("shop.fr");
    EXPECT_NE(refusal.find("%% Too many requests..."), std::string::npos);
    EXPECT_NE(refusal.find("%% No entries found in the AFNIC Database."), std::string::npos);
    EXPECT_NE(whois("shop.fr").find("Too many requests"), std::string::npos);
    EXPECT_EQ(whois("shop.fr"), "<reset>"); // the second refusal in a minute started a block
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_NE(whois("shop.fr").find("Too many requests"), std::string::npos);
    auto stats = world_->stop();
    EXPECT_EQ(stats["afnic.queries"], 6);
    EXPECT_EQ(stats["afnic.answered"], 2);
    EXPECT_EQ(stats["afnic.refused"], 3);
    EXPECT_EQ(stats["afnic.blocked"], 1);
    EXPECT_EQ(stats["afnic.blocks"], 1);
}

TEST_F(WorldProcessTest, AnRdapRegistryAnswersWithStatusesAndRetryAfter) {
    std::string request = "GET /rdap/domain/shop.fr HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                          "Accept: application/rdap+json\r\nConnection: close\r\n\r\n";
    Received taken = FetchLoopback(world_->port("rdap"), request);
    EXPECT_TRUE(taken.bytes.starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_NE(taken.bytes.find("\"ldhName\":\"shop.fr\""), std::string::npos);
    Received limited = FetchLoopback(world_->port("rdap"), request);
    EXPECT_TRUE(limited.bytes.starts_with("HTTP/1.1 429 Too Many Requests\r\n"));
    EXPECT_NE(limited.bytes.find("\r\nRetry-After: 30\r\n"), std::string::npos);
    EXPECT_EQ(world_->stop()["rdap.refused"], 1);
}

TEST_F(WorldProcessTest, ARegistryUnderLoadClosesWithoutAByte) {
    std::uint16_t port = world_->port("web");
    int held = ConnectLoopback(port); // kept busy: the reply to a held name never comes
    ASSERT_GE(held, 0);
    ASSERT_TRUE(SendAll(held, "GET /whois?name=held.fr HTTP/1.0\r\n\r\n"));
    Received empty = FetchLoopback(port, "GET /whois?name=shop.fr HTTP/1.0\r\n\r\n");
    EXPECT_EQ(empty.bytes, "");
    EXPECT_FALSE(empty.reset);
    EXPECT_FALSE(empty.timedOut);
    ::close(held);
    // Once the held query is gone the registry answers again; the close may take a pass.
    Received page;
    for (int i = 0; i < 50 && page.bytes.empty(); ++i) {
        page = FetchLoopback(port, "GET /whois?name=shop.fr HTTP/1.0\r\n\r\n");
        if (page.bytes.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(page.bytes.starts_with("HTTP/1.0 200 OK\r\n"));
    EXPECT_NE(page.bytes.find("Domain Name: SHOP.FR"), std::string::npos);
    EXPECT_GE(world_->stop()["web.busy"], 1);
}

// Sends one NS query over UDP and returns the reply; empty when none came within a second.
std::string askNameServer(std::uint16_t port, const char* name) {
    unsigned char* query = nullptr;
    int length = 0;
    EXPECT_EQ(ares_create_query(name, ns_c_in, ns_t_ns, 7, 1, &query, &length, 0), ARES_SUCCESS);
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    timeval tv{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    ::sendto(fd, query, static_cast<std::size_t>(length), 0, reinterpret_cast<sockaddr*>(&to),
             sizeof to);
    ares_free_string(query);
    char reply[1500];
    ssize_t n = ::recv(fd, reply, sizeof reply, 0);
    ::close(fd);
    return n > 0 ? std::string(reply, static_cast<std::size_t>(n)) : std::string();
}

TEST_F(WorldProcessTest, TheNameServerDelegatesTheRegisteredNamesOfEveryRegistry) {
    std::uint16_t port = world_->port("dns");
    ASSERT_NE(port, 0);
    std::string delegated = askNameServer(port, "shop.fr.");
    ASSERT_GE(delegated.size(), 12u);
    EXPECT_EQ(delegated[3] & 0xF, ns_r_noerror);
    EXPECT_EQ(delegated[7], 2); // two NS records
    for (const char* name : {"held.fr.", "quiet.fr.", "nowhere.fr."}) {
        std::string reply = askNameServer(port, name);
        ASSERT_GE(reply.size(), 12u) << name;
        EXPECT_EQ(reply[3] & 0xF, ns_r_nxdomain) << name;
    }
    auto stats = world_->stop();
    EXPECT_EQ(stats["dns.queries"], 4);
    EXPECT_EQ(stats["dns.delegated"], 1);
}

TEST(WorldProgram, RefusesABadConfigurationNamingTheLine) {
    TempDir dir;
    dir.write("bad.conf", "[registry a]\nlimit = fast\n");
    std::string command =
        ZENDREL_BINARY_DIR "/tools/zendrel-world " + dir.file("bad.conf") + " 2>&1";
    FILE* program = ::popen(command.c_str(), "r");
    ASSERT_NE(program, nullptr);
    std::string output;
    char buf[256];
    while (std::fgets(buf, sizeof buf, program))
        output += buf;
    int status = ::pclose(program);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(output.find("bad.conf: line 2: a rate is written"), std::string::npos) << output;
}

} // namespace
} // namespace zendrel::test
