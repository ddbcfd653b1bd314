#include "net/WSocket.h"

#include "net/SocketErrors.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/FdCount.h"
#include "tests/support/NxdomainServer.h"
#include "tests/support/ScriptedServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace zendrel;
using zendrel::test::ScriptedServer;

namespace {

constexpr Millis kWait = 5000;

// Records every event of a socket as a short text, in order.
struct Recorder {
    std::vector<std::string> events;
    std::string data;
    bool inCall = false;

    void attach(TWSocket& s) {
        s.OnDnsLookupDone = [this](TWSocket*, std::uint16_t e) { add("dns", e); };
        s.OnSessionConnected = [this](TWSocket*, std::uint16_t e) { add("connected", e); };
        s.OnSessionClosed = [this](TWSocket*, std::uint16_t e) { add("closed", e); };
        s.OnDataSent = [this](TWSocket*, std::uint16_t e) { add("sent", e); };
        s.OnDataAvailable = [this](TWSocket* sock, std::uint16_t) {
            char buf[100];
            int n = sock->Receive(buf, sizeof buf);
            if (n > 0)
                data.append(buf, static_cast<std::size_t>(n));
        };
    }
    void add(const std::string& what, std::uint16_t e) {
        events.push_back(what + " " + std::to_string(e) + (inCall ? " (in call)" : ""));
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& e : events)
            n += e.rfind(prefix, 0) == 0;
        return n;
    }
};

void ConnectTo(TWSocket& s, int port) {
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
}

} // namespace

TEST(SocketErrorText, NumbersKeepTheirTextsAndErrnoMapsToThem) {
    EXPECT_EQ(WSocketErrorDesc(0), "No Error");
    EXPECT_EQ(WSocketErrorDesc(10061), "Connection refused");
    EXPECT_EQ(WSocketErrorDesc(11001), "Host not found");
    EXPECT_EQ(WSocketErrorDesc(12345), "Not a WinSock error");
    EXPECT_EQ(WinsockErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(WinsockErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(WinsockErrorFromErrno(EPIPE), 10054);
    EXPECT_EQ(WinsockErrorFromErrno(EWOULDBLOCK), 10035);
    EXPECT_EQ(WinsockErrorFromAres(ARES_ENOTFOUND), 11001);
    EXPECT_EQ(WinsockErrorFromAres(ARES_ENODATA), 11004);
}

TEST(SendBlock, FillsSendsAndBecomesReusable) {
    TBuffer b(0);
    EXPECT_EQ(b.BufSize(), 1514);
    std::string big(2000, 'x');
    EXPECT_EQ(b.Write(big.data(), 2000), 1514);
    EXPECT_EQ(b.Write("y", 1), 0);
    b.Remove(1000);
    int len = 0;
    b.Peek(len);
    EXPECT_EQ(len, 514);
    b.SetBufSize(600); // shrinking keeps the unsent bytes
    b.Peek(len);
    EXPECT_EQ(len, 514);
    b.Remove(9999);
    b.Peek(len);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(b.Write("abc", 3), 3);
    EXPECT_EQ(std::string(b.Peek(len), 3), "abc");
}

TEST(SocketLookup, DottedAddressCompletesInsideTheCall) {
    MessageLoop loop;
    TWSocket s(loop);
    Recorder r;
    r.attach(s);
    r.inCall = true;
    s.DnsLookup("127.0.0.1");
    r.inCall = false;
    EXPECT_EQ(r.events, (std::vector<std::string>{"dns 0 (in call)"}));
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
}

TEST(SocketLookup, EmptyNameRaisesOrReportsInvalidArgument) {
    MessageLoop loop;
    TWSocket s(loop);
    Recorder r;
    r.attach(s);
    EXPECT_THROW(
        try { s.DnsLookup(""); } catch (const ESocketException& e) {
            EXPECT_STREQ(e.what(), "DNS lookup: invalid host name.");
            throw;
        },
        ESocketException);
    EXPECT_TRUE(r.events.empty());
    int errors = 0;
    s.OnError = [&](TWSocket*) { ++errors; };
    s.DnsLookup("");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(r.events, (std::vector<std::string>{"dns 10022"}));
}

TEST(SocketLookup, NameResolvesFromTheLoopAndCancelWinsOverALateAnswer) {
    MessageLoop loop;
    const int fdsBefore = test::OpenFdCount();
    auto owned = std::make_unique<TWSocket>(loop);
    TWSocket& s = *owned;
    Recorder r;
    r.attach(s);
    s.DnsLookup("localhost");
    EXPECT_TRUE(r.events.empty());
    ASSERT_TRUE(loop.runUntil([&] { return !r.events.empty(); }, kWait));
    EXPECT_EQ(r.events, (std::vector<std::string>{"dns 0"}));
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");

    r.events.clear();
    s.DnsLookup("localhost");
    r.inCall = true;
    s.CancelDnsLookup();
    r.inCall = false;
    loop.runUntil([] { return false; }, 200);
    EXPECT_EQ(r.events, (std::vector<std::string>{"dns 10004 (in call)"}));
    owned.reset(); // the last socket of the loop takes the resolver and its descriptors along
    EXPECT_EQ(test::OpenFdCount(), fdsBefore);
}

TEST(SocketMisuse, ConnectAndSettersCheckTheirPreconditions) {
    MessageLoop loop;
    TWSocket s(loop);
    s.SetAddr("127.0.0.1");
    try {
        s.Connect();
        FAIL() << "Connect without a port must raise";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Connect: No Port Specified");
    }
    ScriptedServer server(ScriptedServer::Script{ScriptedServer::hold()});
    Recorder r;
    r.attach(s);
    ConnectTo(s, server.port());
    ASSERT_TRUE(loop.runUntil([&] { return s.State() == wsConnected; }, kWait));
    try {
        s.SetAddr("10.0.0.1");
        FAIL() << "changing Addr while connected must raise";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Cannot change Addr if not closed");
    }
    r.inCall = true;
    s.Close();
    r.inCall = false;
    EXPECT_EQ(r.events.back(), "closed 0 (in call)");
    EXPECT_EQ(s.Addr(), "");
    EXPECT_EQ(s.Port(), "");
    EXPECT_EQ(s.State(), wsClosed);
}

TEST(SocketMisuse, SendWhileNotConnectedRaisesOrReports10057) {
    MessageLoop loop;
    TWSocket s(loop);
    try {
        s.SendStr("x");
        FAIL() << "Send while closed must raise";
    } catch (const ESocketException& e) {
        EXPECT_EQ(std::string(e.what()), "Error 10057 in function Send\r\nSocket is not connected");
    }
    int errors = 0;
    s.OnError = [&](TWSocket*) { ++errors; };
    EXPECT_EQ(s.SendStr("x"), -1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(s.LastError(), 10057);
}

TEST(SocketConnection, RefusedConnectionReports10061ThenClosesOnce) {
    MessageLoop loop;
    const int fdsBefore = test::OpenFdCount();
    {
        TWSocket s(loop);
        Recorder r;
        r.attach(s);
        ConnectTo(s, zendrel::test::FreeLoopbackPort()); // nothing listens there
        EXPECT_TRUE(r.events.empty());
        ASSERT_TRUE(loop.runUntil([&] { return r.count("closed") > 0; }, kWait));
        loop.runUntil([] { return false; }, 50);
        EXPECT_EQ(r.events, (std::vector<std::string>{"connected 10061", "closed 0"}));
        EXPECT_EQ(s.State(), wsClosed);
    }
    EXPECT_EQ(test::OpenFdCount(), fdsBefore);
}

TEST(SocketConnection, DataArrivesBeforeTheOneClosedEventAndSentFiresFromTheLoop) {
    MessageLoop loop;
    const int fdsBefore = test::OpenFdCount();
    {
        ScriptedServer server(ScriptedServer::reply(std::string(5000, 'a') + "end"));
        TWSocket s(loop);
        Recorder r;
        r.attach(s);
        s.OnSessionConnected = [&](TWSocket* sock, std::uint16_t e) {
            r.add("connected", e);
            r.inCall = true;
            EXPECT_EQ(sock->SendStr("GET / HTTP/1.0\r\n\r\n"), 18);
            r.inCall = false;
        };
        s.OnSessionClosed = [&](TWSocket*, std::uint16_t e) {
            r.add("closed", e);
            r.add("data " + std::to_string(r.data.size()), 0);
        };
        ConnectTo(s, server.port());
        ASSERT_TRUE(loop.runUntil([&] { return r.count("closed") > 0; }, kWait));
        loop.runUntil([] { return false; }, 50);
        EXPECT_EQ(r.events,
                  (std::vector<std::string>{"connected 0", "sent 0", "closed 0", "data 5003 0"}));
        EXPECT_EQ(s.ReadCount(), 0); // reset by the close
        EXPECT_EQ(server.requests().at(0), "GET / HTTP/1.0\r\n\r\n");
    }
    EXPECT_EQ(test::OpenFdCount(), fdsBefore);
}

// The count of bytes read grows with whatever the peer sends; it starts just below 2 GiB here so
// that crossing that mark takes a few bytes instead of gigabytes.
struct CountedSocket : TWSocket {
    using TWSocket::PresetReadCount;
    using TWSocket::TWSocket;
};

TEST(SocketConnection, ReadCountGoesOnPastTwoGibibytes) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::reply(std::string(100, 'a')));
    CountedSocket s(loop);
    std::int64_t seen = 0;
    bool closed = false;
    s.OnSessionConnected = [](TWSocket* sock, std::uint16_t) { sock->SendStr("GET\r\n\r\n"); };
    s.OnDataAvailable = [&](TWSocket* sock, std::uint16_t) {
        char buf[16];
        if (sock->Receive(buf, sizeof buf) > 0)
            seen = sock->ReadCount();
    };
    s.OnSessionClosed = [&](TWSocket*, std::uint16_t) { closed = true; };
    s.PresetReadCount(INT32_MAX - 10);
    ConnectTo(s, server.port());
    ASSERT_TRUE(loop.runUntil([&] { return closed; }, kWait));
    EXPECT_EQ(seen, std::int64_t{INT32_MAX} + 90);
}

TEST(SocketConnection, ResetByPeerClosesWithTheResetError) {
    MessageLoop loop;
    ScriptedServer server(
        ScriptedServer::Script{ScriptedServer::readRequest(), ScriptedServer::send("partial"),
                               ScriptedServer::pause(50), ScriptedServer::reset()});
    TWSocket s(loop);
    Recorder r;
    r.attach(s);
    s.OnSessionConnected = [&](TWSocket* sock, std::uint16_t) { sock->SendStr("x\r\n\r\n"); };
    ConnectTo(s, server.port());
    ASSERT_TRUE(loop.runUntil([&] { return r.count("closed") > 0; }, kWait));
    EXPECT_EQ(r.data, "partial");
    EXPECT_EQ(r.count("closed"), 1);
    EXPECT_EQ(r.events.back(), "closed 10054");
    EXPECT_EQ(s.State(), wsClosed);
}

TEST(SocketConnection, StateChangesAndAFailingHandlerAbortsTheConnection) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::Script{ScriptedServer::hold()});
    TWSocket s(loop);
    std::vector<std::string> states;
    s.OnChangeState = [&](TWSocket*, TSocketState from, TSocketState to) {
        states.push_back(std::to_string(from) + ">" + std::to_string(to));
    };
    s.OnSessionConnected = [](TWSocket*, std::uint16_t) {
        throw std::runtime_error("handler failed");
    };
    std::string caught;
    s.OnBgException = [&](TWSocket*, const std::exception& e, bool&) { caught = e.what(); };
    ConnectTo(s, server.port());
    ASSERT_TRUE(loop.runUntil([&] { return !caught.empty(); }, kWait));
    EXPECT_EQ(caught, "handler failed");
    EXPECT_EQ(s.State(), wsClosed);
    // closed 7, opened 1, connecting 3, connected 4
    EXPECT_EQ(states, (std::vector<std::string>{"7>1", "1>3", "3>4", "4>7"}));
}

TEST(SocketLookup, UnknownNameArrivesAsHostNotFound) {
    MessageLoop loop;
    test::NxdomainServer dns;
    std::shared_ptr<AresResolver> resolver = AresResolver::ForLoop(loop);
    ASSERT_TRUE(resolver->SetServers(dns.address()));
    TWSocket s(loop);
    Recorder r;
    r.attach(s);
    s.DnsLookup("no-such-name.zendrel-test");
    ASSERT_TRUE(loop.runUntil([&] { return !r.events.empty(); }, kWait));
    EXPECT_EQ(r.events, (std::vector<std::string>{"dns 11001"}));
    EXPECT_EQ(s.DnsResult(), "");
    EXPECT_EQ(resolver->PendingCount(), 0u);
}
