// The response reader from one case table, each case fed as the client receives it (as much as
// the buffer takes at a time) and fed one byte at a time: the events, the lines and the body
// must come out the same, except where the client's old reading of header-less replies depends
// on how the bytes arrived.
#include "net/HttpResponseReader.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using namespace std::string_literals;
using Event = HttpResponseReader::Event;
using Failure = HttpResponseReader::Failure;

enum class Framing { UntilClose, Length, Chunked };

struct ReaderCase {
    const char* name;
    std::string input;
    Framing framing;
    std::uint64_t length;
    std::vector<std::string> events; // a run of body pieces is logged as one "body"
    std::string body;
    std::optional<std::string> bodyByteWise = std::nullopt;
};

struct Log {
    std::vector<std::string> events;
    std::string body;
    std::size_t maxPiece = 0;
    bool ended = false;
    bool interim = false;
};

const char* FailureName(Failure f) {
    switch (f) {
    case Failure::None:
        return "None";
    case Failure::LineTooLong:
        return "LineTooLong";
    case Failure::BadChunkSize:
        return "BadChunkSize";
    case Failure::ChunkLineTooLong:
        return "ChunkLineTooLong";
    case Failure::BadChunkEnd:
        return "BadChunkEnd";
    case Failure::TrailersTooLong:
        return "TrailersTooLong";
    }
    return "?";
}

void ChooseFraming(HttpResponseReader& r, const ReaderCase& k, Log& log) {
    if (log.interim)
        return r.ReadHeaderAgain();
    if (k.framing == Framing::Length)
        r.ReadBodyOfLength(k.length);
    else if (k.framing == Framing::Chunked)
        r.ReadChunkedBody();
}

// Takes every event the held bytes give, as the client does after each reception.
void Drain(HttpResponseReader& r, const ReaderCase& k, Log& log) {
    for (;;) {
        const Event e = r.Next();
        const std::string text(r.Text());
        if (e != Event::NeedMore && e != Event::HeaderEnd && !r.Text().empty()) {
            EXPECT_EQ(r.Text().data()[r.Text().size()], '\0') << "not zero-terminated";
        }
        switch (e) {
        case Event::NeedMore:
            return;
        case Event::StatusLine:
            log.events.push_back("status " + text);
            log.interim = text.size() > 9 && text[9] == '1';
            break;
        case Event::HeaderLine:
            log.events.push_back("line " + text);
            break;
        case Event::HtmlStart:
            log.events.push_back("html " + text);
            log.body += text; // the client passes the line on as the first body piece
            break;
        case Event::HeaderEnd:
            log.events.push_back("end");
            ChooseFraming(r, k, log);
            break;
        case Event::BodyPiece:
            if (log.events.empty() || log.events.back() != "body")
                log.events.push_back("body");
            log.body += text;
            log.maxPiece = std::max(log.maxPiece, text.size());
            break;
        case Event::BodyEnd:
            log.events.push_back("body-end");
            log.ended = true;
            return;
        case Event::Error:
            log.events.push_back(std::string("error ") + FailureName(r.failure()));
            log.ended = true;
            return;
        }
    }
}

Log Read(const ReaderCase& k, std::size_t receptionSize) {
    HttpResponseReader r;
    Log log;
    std::size_t at = 0;
    while (!log.ended && at < k.input.size()) {
        const std::size_t want = std::min(receptionSize, k.input.size() - at);
        const std::size_t taken = r.Feed(k.input.data() + at, want);
        at += taken;
        Drain(r, k, log);
        if (taken == 0)
            break; // a line fills the buffer: the client reads no more
    }
    return log;
}

std::string CaseName(const ::testing::TestParamInfo<ReaderCase>& info) {
    return info.param.name;
}

class HttpResponseReading : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(HttpResponseReading, GivesTheSameEventsFedWholeAndByteByByte) {
    const ReaderCase& k = GetParam();
    const Log whole = Read(k, k.input.size());
    EXPECT_EQ(whole.events, k.events);
    EXPECT_EQ(whole.body, k.body);
    EXPECT_LE(whole.maxPiece, 8192u);
    const Log bytes = Read(k, 1);
    EXPECT_EQ(bytes.events, k.events);
    EXPECT_EQ(bytes.body, k.bodyByteWise.value_or(k.body));
}

const std::string kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
const std::vector<std::string> kChunkedEvents{
    "status HTTP/1.1 200 OK", "line Transfer-Encoding: chunked", "end", "body", "body-end"};
const std::vector<std::string> kChunkedEmpty{"status HTTP/1.1 200 OK",
                                             "line Transfer-Encoding: chunked", "end", "body-end"};

std::vector<std::string> ChunkedFailure(const char* failure, bool someBody) {
    std::vector<std::string> e{"status HTTP/1.1 200 OK", "line Transfer-Encoding: chunked", "end"};
    if (someBody)
        e.push_back("body");
    e.push_back(std::string("error ") + failure);
    return e;
}

const std::string kLongLine = "X-Long: " + std::string(8191 - 8, 'x');

INSTANTIATE_TEST_SUITE_P(
    Replies, HttpResponseReading,
    ::testing::Values(
        ReaderCase{"PlainReplyEndsAtTheClose",
                   "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nhello\r\nworld",
                   Framing::UntilClose,
                   0,
                   {"status HTTP/1.0 200 OK", "line Content-Type: text/plain", "end", "body"},
                   "hello\r\nworld"},
        ReaderCase{"LineFeedOnlyLines",
                   "HTTP/1.1 404 Not Found\nX-A: 1\n\nabc",
                   Framing::UntilClose,
                   0,
                   {"status HTTP/1.1 404 Not Found", "line X-A: 1", "end", "body"},
                   "abc"},
        ReaderCase{"OnlyTheCarriageReturnBeforeTheLineFeedIsDropped",
                   "HTTP/1.0 200 OK\r\nX-A: a\rb\r\r\nX-B: \n\r\n",
                   Framing::UntilClose,
                   0,
                   {"status HTTP/1.0 200 OK", "line X-A: a\rb\r", "line X-B: ", "end"},
                   ""},
        ReaderCase{"NotAStatusLineUnlessItStartsWithTheVersion",
                   "http/1.0 200 OK\r\nHTTP/2 200\r\nHTTP/1.1 301 Moved\r\n\r\n",
                   Framing::UntilClose,
                   0,
                   {"line http/1.0 200 OK", "line HTTP/2 200", "status HTTP/1.1 301 Moved", "end"},
                   ""},
        ReaderCase{"NulInAHeaderLineHoldsTheRestBack",
                   "HTTP/1.0 200 OK\r\nX-A: a\0b\r\n\r\nbody"s,
                   Framing::UntilClose,
                   0,
                   {"status HTTP/1.0 200 OK"},
                   ""},
        ReaderCase{"NulInTheBodyIsPassedOn",
                   "HTTP/1.0 200 OK\r\n\r\nab\0cd\0"s,
                   Framing::UntilClose,
                   0,
                   {"status HTTP/1.0 200 OK", "end", "body"},
                   "ab\0cd\0"s},
        ReaderCase{"HtmlWithoutHeaderCutsTheLinesOfItsReception",
                   "<hTmL><body>free\r\n\r\nline2\r\ntail",
                   Framing::UntilClose,
                   0,
                   {"html <hTmL><body>free", "body"},
                   "<hTmL><body>freeline2",
                   "<hTmL><body>free\r\nline2\r\ntail"},
        ReaderCase{"HtmlAfterAStatusLine",
                   "HTTP/1.0 200 OK\r\n<html>x\r\n\r\nrest\n",
                   Framing::UntilClose,
                   0,
                   {"status HTTP/1.0 200 OK", "html <html>x", "body"},
                   "<html>xrest",
                   "<html>x\r\nrest\n"},
        ReaderCase{"LongestLineThatFits",
                   kLongLine + "\n\nok",
                   Framing::UntilClose,
                   0,
                   {"line " + kLongLine, "end", "body"},
                   "ok"},
        ReaderCase{"LineThatFillsTheBufferIsTooLong",
                   "HTTP/1.0 200 OK\r\n" + kLongLine + "x\n\r\nbody",
                   Framing::UntilClose,
                   0,
                   {"status HTTP/1.0 200 OK", "error LineTooLong"},
                   ""},
        ReaderCase{"LengthEndsTheBodyAndExtraBytesAreLeft",
                   "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA",
                   Framing::Length,
                   5,
                   {"status HTTP/1.1 200 OK", "line Content-Length: 5", "end", "body", "body-end"},
                   "hello"},
        ReaderCase{"ZeroLengthEndsAtTheHeader",
                   "HTTP/1.1 204 No Content\r\n\r\nX",
                   Framing::Length,
                   0,
                   {"status HTTP/1.1 204 No Content", "end", "body-end"},
                   ""},
        ReaderCase{"LongerBodyOfKnownLengthInBoundedPieces",
                   "HTTP/1.1 200 OK\r\n\r\n" + std::string(20000, 'b'),
                   Framing::Length,
                   20000,
                   {"status HTTP/1.1 200 OK", "end", "body", "body-end"},
                   std::string(20000, 'b')},
        ReaderCase{"ChunkedBody", kChunkedHead + "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n",
                   Framing::Chunked, 0, kChunkedEvents, "hello world"},
        ReaderCase{"ChunkExtensionsAreSkipped",
                   kChunkedHead +
                       "4;name=value\r\nWiki\r\n5 ; x=\"a;b\"\r\npedia\r\n0;last\r\n\r\n",
                   Framing::Chunked, 0, kChunkedEvents, "Wikipedia"},
        ReaderCase{"TrailersAreReadAndExtraBytesLeft",
                   kChunkedHead + "3\r\nabc\r\n0\r\nExpires: never\r\nX-Sum: 1\r\n\r\nEXTRA",
                   Framing::Chunked, 0, kChunkedEvents, "abc"},
        ReaderCase{"UpperAndLowerCaseHex",
                   kChunkedHead + "a\r\n0123456789\r\nA\r\nabcdefghij\r\n1f\r\n" +
                       std::string(31, 'z') + "\r\n0\r\n\r\n",
                   Framing::Chunked, 0, kChunkedEvents,
                   "0123456789abcdefghij" + std::string(31, 'z')},
        ReaderCase{"LargeChunkInBoundedPieces",
                   kChunkedHead + "4e20\r\n" + std::string(20000, 'c') + "\r\n0\r\n\r\n",
                   Framing::Chunked, 0, kChunkedEvents, std::string(20000, 'c')},
        ReaderCase{"LineFeedOnlyChunkLines", kChunkedHead + "3\nabc\n0\n\n", Framing::Chunked, 0,
                   kChunkedEvents, "abc"},
        ReaderCase{"OnlyTheLastChunk", kChunkedHead + "000\r\n\r\n", Framing::Chunked, 0,
                   kChunkedEmpty, ""},
        ReaderCase{"ChunkSizeNotHex", kChunkedHead + "zz\r\nab\r\n", Framing::Chunked, 0,
                   ChunkedFailure("BadChunkSize", false), ""},
        ReaderCase{"ChunkSizeMissing", kChunkedHead + "\r\nab\r\n", Framing::Chunked, 0,
                   ChunkedFailure("BadChunkSize", false), ""},
        ReaderCase{"ChunkSizeWithSign", kChunkedHead + "-5\r\nab\r\n", Framing::Chunked, 0,
                   ChunkedFailure("BadChunkSize", false), ""},
        ReaderCase{"ChunkSizeAfterABlank", kChunkedHead + " 5\r\nabcde\r\n", Framing::Chunked, 0,
                   ChunkedFailure("BadChunkSize", false), ""},
        ReaderCase{"ChunkSizeFollowedByJunk", kChunkedHead + "3x\r\nabc\r\n0\r\n\r\n",
                   Framing::Chunked, 0, ChunkedFailure("BadChunkSize", false), ""},
        ReaderCase{"NulInTheChunkSizeLine", kChunkedHead + "3;\0\r\nabc\r\n"s, Framing::Chunked, 0,
                   ChunkedFailure("BadChunkSize", false), ""},
        ReaderCase{"ChunkSizeThatOverflows", kChunkedHead + "10000000000000000\r\nab\r\n",
                   Framing::Chunked, 0, ChunkedFailure("BadChunkSize", false), ""},
        ReaderCase{"ChunkSizeAboveTheLargest", kChunkedHead + "FFFFFFFFFFFFFFFF\r\nab\r\n",
                   Framing::Chunked, 0, ChunkedFailure("BadChunkSize", false), ""},
        ReaderCase{"OversizeChunkSizeLine",
                   kChunkedHead + "1;" + std::string(5000, 'e') + "\r\nx\r\n0\r\n\r\n",
                   Framing::Chunked, 0, ChunkedFailure("ChunkLineTooLong", false), ""},
        ReaderCase{"ChunkDataNotFollowedByALineEnd", kChunkedHead + "3\r\nabcX\r\n0\r\n\r\n",
                   Framing::Chunked, 0, ChunkedFailure("BadChunkEnd", true), "abc"},
        ReaderCase{"ChunkDataFollowedByACarriageReturnAlone", kChunkedHead + "3\r\nabc\rX0\r\n",
                   Framing::Chunked, 0, ChunkedFailure("BadChunkEnd", true), "abc"},
        ReaderCase{"TrailersTooLong",
                   kChunkedHead + "1\r\na\r\n0\r\nX-Pad: " + std::string(5000, 'p') + "\r\n\r\n",
                   Framing::Chunked, 0, ChunkedFailure("TrailersTooLong", true), "a"},
        ReaderCase{"InterimResponseBeforeTheReply",
                   "HTTP/1.1 100 Continue\r\n\r\n" + kChunkedHead + "2\r\nok\r\n0\r\n\r\n",
                   Framing::Chunked,
                   0,
                   {"status HTTP/1.1 100 Continue", "end", "status HTTP/1.1 200 OK",
                    "line Transfer-Encoding: chunked", "end", "body", "body-end"},
                   "ok"}),
    CaseName);

TEST(HttpResponseReader, BytesAfterTheHeaderCanBeTakenOrDropped) {
    HttpResponseReader r;
    const std::string reply = "HTTP/1.1 200 Connection established\r\n\r\n\x16\x03\x01";
    ASSERT_EQ(r.Feed(reply.data(), reply.size()), reply.size());
    EXPECT_EQ(r.Next(), Event::StatusLine);
    EXPECT_EQ(r.Next(), Event::HeaderEnd);
    EXPECT_EQ(r.TakeHeld(), "\x16\x03\x01");
    EXPECT_EQ(r.Next(), Event::NeedMore);

    r.Reset();
    ASSERT_EQ(r.Feed(reply.data(), reply.size()), reply.size());
    EXPECT_EQ(r.Next(), Event::StatusLine);
    EXPECT_EQ(r.Next(), Event::HeaderEnd);
    r.Discard();
    EXPECT_EQ(r.Held(), 0);
    EXPECT_EQ(r.Next(), Event::NeedMore);
}

TEST(HttpResponseReader, ARequestHoldsNoMoreThanTheBuffer) {
    HttpResponseReader r;
    const std::string endless(20000, 'h');
    EXPECT_EQ(r.Room(), 8192);
    EXPECT_EQ(r.Feed(endless.data(), endless.size()), 8192u);
    EXPECT_EQ(r.Room(), 0);
    EXPECT_EQ(r.Feed(endless.data(), endless.size()), 0u);
    EXPECT_EQ(r.Next(), Event::Error);
    EXPECT_EQ(r.failure(), Failure::LineTooLong);
    r.Reset();
    EXPECT_EQ(r.Room(), 8192);
    EXPECT_EQ(r.failure(), Failure::None);
}

} // namespace
} // namespace zendrel
