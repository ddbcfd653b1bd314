// The shared part of every row lookup, driven through the session with a scripted lookup kind
// plugged into the dispatcher: no sockets, a manual clock, so every case runs in microseconds.
#include "engine/RowLookup.h"

#include "engine/SearchSession.h"
#include "lookup/ZoneTable.h"
#include "net/SocketErrors.h"
#include "tests/engine/FakeRunSettings.h"
#include "tests/engine/FakeSearchWindow.h"
#include "tests/engine/RecordingListener.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

// What the scripted server does with every lookup: answer with `pieces` right after the start,
// or never answer at all.
struct Script {
    bool answers = true;
    std::vector<std::string> pieces;
    std::int32_t announcedLength = 0;
    int status = 200;
};

// A lookup kind whose transfer is a script. Like a real one, it reports from the loop, never
// from inside `start` or `abort`.
class ScriptedLookup final : public RowLookup {
public:
    ScriptedLookup(const LookupContext& c, LookupRequest r, const Script& script, int& aborts)
        : RowLookup(c, std::move(r)), script_(script), aborts_(aborts),
          wire_(c.loop, *this, &ScriptedLookup::onWire) {}

    void abort() override {
        ++aborts_;
        wire_.post(kAborted);
    }

protected:
    void begin() override {
        if (script_.answers)
            wire_.post(kAnswer);
    }

private:
    static constexpr unsigned kAnswer = WM_USER + 1;
    static constexpr unsigned kAborted = WM_USER + 2;

    void onWire(const Message& m) {
        if (ended_)
            return;
        ended_ = true;
        if (m.msg == kAborted) {
            finish(LookupFailure::Network, WSAECONNABORTED, 0);
            return;
        }
        setExpectedLength(script_.announcedLength);
        for (const std::string& piece : script_.pieces)
            received(piece);
        finish(LookupFailure::None, 0, script_.status);
    }

    const Script& script_;
    int& aborts_;
    HiddenWindow<ScriptedLookup> wire_;
    bool ended_ = false;
};

// Every State text a row showed, in order.
struct StateTexts : ResultStoreObserver {
    ResultStore* rows = nullptr;
    std::vector<std::string> seen;
    void rowsAppended(std::size_t, std::size_t) override {}
    void rowChanged(std::size_t row) override {
        const std::string text(rows->subItem(row, ResultStore::kState));
        if (seen.empty() || seen.back() != text)
            seen.push_back(text);
    }
    void storeReset() override {}
};

class RowLookupTest : public ::testing::Test {
protected:
    RowLookupTest() {
        ZoneTable zones;
        ReadZoneTable("scripted;http://gw.example/q?name=%s;7;com\n", zones);
        session.setZoneTable(std::move(zones));
        MethodTable methods;
        ReadMethodTable("0;Registrar\n7;Registrar:;Registrar:|No match for|on hold\n", methods);
        session.setMethodTable(std::move(methods));
        session.addListener(events);
        session.setLookupFactory([this](const LookupContext& c, LookupRequest r) {
            requests.push_back(r);
            return std::make_unique<ScriptedLookup>(c, std::move(r), script, aborts);
        });
        states.rows = &session.rows();
        session.rows().setObserver(&states);
    }
    ~RowLookupTest() override { session.rows().setObserver(nullptr); }

    void lookUp(const std::vector<std::string>& captions) {
        for (const std::string& c : captions)
            session.rows().append(c);
        session.lookUpRows();
        for (int ms = 0; ms < 60000 && events.finished.empty(); ms += 10) {
            loop.runUntilIdle();
            loop.advance(10);
        }
        ASSERT_EQ(events.finished.size(), 1u);
    }
    std::string text(std::size_t row, int item) const {
        return std::string(session.rows().subItem(row, item));
    }

    ManualClock clock;
    MessageLoop loop{clock};
    FakeSearchWindow window;
    FakeRunSettings settings;
    RecordingListener events;
    Script script;
    int aborts = 0;
    std::vector<LookupRequest> requests;
    StateTexts states;
    SearchSession session{loop, window, settings};
};

TEST_F(RowLookupTest, PluggedKindGetsEachRowWithItsAddressMethodAndSettings) {
    settings.connection[3] = "probe agent";
    script.pieces = {"Domain: x\n", "Registrar: Example Registrar\n"};
    lookUp({"shop.com", "nozone.org", "cafe.com"});

    ASSERT_EQ(requests.size(), 2u) << "a row without zone line gets no lookup";
    EXPECT_EQ(requests[0].row, 0u);
    EXPECT_EQ(requests[0].address, "http://gw.example/q?name=shop.com");
    EXPECT_EQ(requests[0].methodNumber, 7);
    ASSERT_NE(requests[0].zone, nullptr);
    EXPECT_EQ(requests[0].zone->label, "scripted");
    EXPECT_EQ(requests[0].connection[3], "probe agent");
    EXPECT_EQ(requests[1].row, 2u);

    EXPECT_EQ(text(0, ResultStore::kState), "is not available");
    EXPECT_EQ(text(0, ResultStore::kTime), "~");
    EXPECT_EQ(text(0, ResultStore::kFirstExtra), "example registrar");
    EXPECT_EQ(text(1, ResultStore::kState), "no method");
    ASSERT_EQ(events.lookups.size(), 2u);
    EXPECT_EQ(events.lookups[1].first, 2u);
    EXPECT_EQ(events.lookups[1].second.httpStatus, 200);
    EXPECT_EQ(events.lookups[1].second.verdict, ReplyState::NotAvailable);
    EXPECT_EQ(session.variables().activeLookups, 0);
    EXPECT_EQ(events.ended, (std::vector<SearchEnd>{SearchEnd::Completed}));
}

TEST_F(RowLookupTest, ProgressShowsPercentOfAnAnnouncedLengthElseBytes) {
    script.announcedLength = 2000;
    script.pieces = {std::string(500, 'a'), std::string(500, 'b')};
    lookUp({"shop.com"});
    EXPECT_EQ(states.seen, (std::vector<std::string>{"Loading 25 from 2000", "Loading 50 from 2000",
                                                     "no data"}));

    script.announcedLength = 0;
    states.seen.clear();
    events.finished.clear();
    session.rows().clear();
    lookUp({"shop.com"});
    EXPECT_EQ(states.seen,
              (std::vector<std::string>{"Loading 500 bt", "Loading 1000 bt", "no data"}));
}

TEST_F(RowLookupTest, ReplyIsKeptOnlyUpToTheCapAndWhatArrivedIsClassified) {
    const std::string chunk(1024 * 1024, 'x');
    script.pieces = {chunk, chunk, chunk, "No match for", chunk, chunk};
    lookUp({"shop.com"});
    ASSERT_EQ(events.lookups.size(), 1u);
    EXPECT_EQ(events.lookups[0].second.replyBytes, RowLookup::kMaxReplyBytes);
    EXPECT_EQ(text(0, ResultStore::kState), "is available");
    EXPECT_EQ(states.seen[states.seen.size() - 2], "Loading 4194304 bt");
}

TEST_F(RowLookupTest, SilentServerIsAbortedOncePastTheTimeLimit) {
    settings.seconds = 1;
    script.answers = false;
    lookUp({"shop.com"});
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(text(0, ResultStore::kTime), "2");
    EXPECT_EQ(text(0, ResultStore::kState), "no data");
    ASSERT_EQ(events.lookups.size(), 1u);
    EXPECT_EQ(events.lookups[0].second.failure, LookupFailure::TimeLimit);
    EXPECT_EQ(events.lookups[0].second.error, WSAECONNABORTED);
}

TEST_F(RowLookupTest, StopReleasesLiveLookupsWithoutReadingThem) {
    script.answers = false;
    for (const char* c : {"a.com", "b.com", "c.com"})
        session.rows().append(c);
    session.lookUpRows();
    for (int ms = 0; ms < 1000 && session.variables().activeLookups < 3; ms += 10) {
        loop.runUntilIdle();
        loop.advance(10);
    }
    ASSERT_EQ(session.variables().activeLookups, 3);
    session.stop();
    loop.runUntilIdle();
    EXPECT_EQ(events.finished, (std::vector<RunEnd>{RunEnd::Stopped}));
    EXPECT_EQ(aborts, 3);
    EXPECT_TRUE(events.lookups.empty());
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(session.rows().connection(i), nullptr);
}

} // namespace
} // namespace zendrel::test
