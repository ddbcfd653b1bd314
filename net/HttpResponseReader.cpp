// An HTTP response, read incrementally out of one fixed buffer of 8193 bytes. Header lines are
// cut at line feeds; the search for one stops at the first NUL, and a carriage return before the
// line feed is dropped, as the client has always read them. A line starting with "<HTML>" means
// a reply without header: the lines still held from that reception become body pieces without
// their line ends, and every later reception is one piece. Until the close, a body is passed on
// one reception at a time; a body of known length ends after its last byte, a chunked body after
// its last chunk and trailers. Every piece is followed in memory by one zero byte, so a reader of
// the piece may take it as a zero-terminated text. Chunk-size lines and trailers are bounded;
// anything a chunked body does not allow is an error, never a guess.
#include "net/HttpResponseReader.h"

#include "platform/AsciiText.h"
#include "platform/IntegerText.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace zendrel {

namespace {

// Above this a chunk size is taken as an overflow; reading digits stops there, so no digit
// string can wrap the value.
constexpr std::uint64_t kMaxChunkSize = UINT64_MAX / 16;

bool StartsWithHtmlTag(std::string_view line) {
    return line.size() >= 6 && EqualsNoCase(line.substr(0, 6), "<HTML>");
}

bool IsStatusLine(std::string_view line) {
    return line.starts_with("HTTP/1.0") || line.starts_with("HTTP/1.1");
}

// chunk-size [ BWS ";" chunk-ext ], the extensions being skipped.
std::optional<std::uint64_t> ParseChunkSize(std::string_view line) {
    const DigitRun run = ReadDigits(line, 16, kMaxChunkSize);
    if (run.length == 0 || run.value > kMaxChunkSize)
        return std::nullopt;
    std::string_view rest = line.substr(run.length);
    if (!rest.empty() && HexDigitValue(rest[0]) >= 0)
        return std::nullopt; // more digits than any size can have
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    if (!rest.empty() && rest[0] != ';')
        return std::nullopt;
    if (rest.find_first_of(std::string_view("\r\0", 2)) != std::string_view::npos)
        return std::nullopt;
    return run.value;
}

} // namespace

HttpResponseReader::HttpResponseReader() : buf_(kBufSize + 1, '\0') {}

void HttpResponseReader::Reset() {
    begin_ = end_ = 0;
    buf_[0] = 0;
    mode_ = Mode::Header;
    failure_ = Failure::None;
    remaining_ = 0;
    trailerBytes_ = 0;
    text_ = {};
    lastWasLine_ = false;
    saved_ = false;
}

char* HttpResponseReader::Space() {
    Restore();
    if (begin_ > 0) {
        std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    buf_[end_] = 0;
    return buf_.data() + end_;
}

void HttpResponseReader::Commit(int n) {
    Restore();
    if (n <= 0)
        return;
    end_ += static_cast<std::size_t>(n);
    buf_[end_] = 0;
    if (mode_ == Mode::HtmlLines)
        mode_ = Mode::UntilClose; // only the lines of the reception that began the body are cut
}

std::size_t HttpResponseReader::Feed(const char* data, std::size_t n) {
    const std::size_t take = std::min(n, static_cast<std::size_t>(std::max(Room(), 0)));
    if (take == 0)
        return 0;
    std::memcpy(Space(), data, take);
    Commit(static_cast<int>(take));
    return take;
}

void HttpResponseReader::ReadBodyUntilClose() {
    mode_ = Mode::UntilClose;
}

void HttpResponseReader::ReadBodyOfLength(std::uint64_t length) {
    mode_ = Mode::Length;
    remaining_ = length;
}

void HttpResponseReader::ReadChunkedBody() {
    mode_ = Mode::ChunkSize;
}

void HttpResponseReader::ReadHeaderAgain() {
    mode_ = Mode::Header;
}

void HttpResponseReader::Discard() {
    Restore();
    begin_ = end_ = 0;
    buf_[0] = 0;
}

std::string HttpResponseReader::TakeHeld() {
    Restore();
    std::string held(buf_.data() + begin_, end_ - begin_);
    Discard();
    return held;
}

// ---------------------------------------------------------------- events

HttpResponseReader::Event HttpResponseReader::Next() {
    Restore();
    text_ = {};
    lastWasLine_ = false;
    for (;;) {
        std::optional<Event> e;
        switch (mode_) {
        case Mode::Header:
            return NextInHeader();
        case Mode::HtmlLines:
            return NextHtmlLine();
        case Mode::UntilClose:
            return NextWhole();
        case Mode::Length:
            return NextOfLength();
        case Mode::ChunkSize:
            e = NextChunkSize();
            break;
        case Mode::ChunkData:
            return NextChunkData();
        case Mode::ChunkDataEnd:
            e = NextChunkDataEnd();
            break;
        case Mode::Trailer:
            e = NextTrailer();
            break;
        case Mode::Done:
            return Event::BodyEnd;
        case Mode::Failed:
            return Event::Error;
        }
        if (e)
            return *e;
    }
}

HttpResponseReader::Event HttpResponseReader::NextInHeader() {
    const std::size_t len = FindLineEnd(true);
    if (len == std::string_view::npos)
        return Room() <= 0 ? Fail(Failure::LineTooLong) : Event::NeedMore;
    TakeLine(len);
    if (text_.empty()) {
        mode_ = Mode::UntilClose;
        return Event::HeaderEnd;
    }
    if (StartsWithHtmlTag(text_)) {
        mode_ = Mode::HtmlLines;
        return Event::HtmlStart;
    }
    return IsStatusLine(text_) ? Event::StatusLine : Event::HeaderLine;
}

HttpResponseReader::Event HttpResponseReader::NextHtmlLine() {
    const std::size_t len = FindLineEnd(true);
    if (len == std::string_view::npos)
        return Event::NeedMore;
    TakeLine(len);
    return Event::BodyPiece;
}

HttpResponseReader::Event HttpResponseReader::NextWhole() {
    if (Held() == 0)
        return Event::NeedMore;
    TakePiece(end_ - begin_);
    return Event::BodyPiece;
}

HttpResponseReader::Event HttpResponseReader::NextOfLength() {
    if (remaining_ == 0) {
        mode_ = Mode::Done;
        return Event::BodyEnd;
    }
    if (Held() == 0)
        return Event::NeedMore;
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(end_ - begin_, remaining_));
    remaining_ -= n;
    TakePiece(n);
    return Event::BodyPiece;
}

std::optional<HttpResponseReader::Event> HttpResponseReader::NextChunkSize() {
    const std::size_t len = FindLineEnd(false);
    if (len == std::string_view::npos) {
        if (end_ - begin_ > kMaxChunkLineBytes)
            return Fail(Failure::ChunkLineTooLong);
        return Event::NeedMore;
    }
    if (len > kMaxChunkLineBytes)
        return Fail(Failure::ChunkLineTooLong);
    std::string_view line(buf_.data() + begin_, len);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const std::optional<std::uint64_t> size = ParseChunkSize(line);
    if (!size)
        return Fail(Failure::BadChunkSize);
    begin_ += len + 1;
    if (*size == 0) {
        mode_ = Mode::Trailer;
        trailerBytes_ = 0;
    } else {
        mode_ = Mode::ChunkData;
        remaining_ = *size;
    }
    return std::nullopt;
}

HttpResponseReader::Event HttpResponseReader::NextChunkData() {
    if (Held() == 0)
        return Event::NeedMore;
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(end_ - begin_, remaining_));
    remaining_ -= n;
    TakePiece(n);
    if (remaining_ == 0)
        mode_ = Mode::ChunkDataEnd;
    return Event::BodyPiece;
}

std::optional<HttpResponseReader::Event> HttpResponseReader::NextChunkDataEnd() {
    if (Held() == 0)
        return Event::NeedMore;
    std::size_t endLen = 0;
    if (buf_[begin_] == '\n') {
        endLen = 1;
    } else if (buf_[begin_] == '\r') {
        if (Held() < 2)
            return Event::NeedMore;
        endLen = buf_[begin_ + 1] == '\n' ? 2 : 0;
    }
    if (endLen == 0)
        return Fail(Failure::BadChunkEnd);
    begin_ += endLen;
    mode_ = Mode::ChunkSize;
    return std::nullopt;
}

std::optional<HttpResponseReader::Event> HttpResponseReader::NextTrailer() {
    const std::size_t len = FindLineEnd(false);
    const std::size_t pending = len == std::string_view::npos ? end_ - begin_ : len + 1;
    if (trailerBytes_ + pending > kMaxTrailerBytes)
        return Fail(Failure::TrailersTooLong);
    if (len == std::string_view::npos)
        return Event::NeedMore;
    const bool blank = len == 0 || (len == 1 && buf_[begin_] == '\r');
    begin_ += len + 1;
    trailerBytes_ += len + 1;
    if (!blank)
        return std::nullopt; // trailer fields are not used
    mode_ = Mode::Done;
    return Event::BodyEnd;
}

HttpResponseReader::Event HttpResponseReader::Fail(Failure f) {
    failure_ = f;
    mode_ = Mode::Failed;
    return Event::Error;
}

// ---------------------------------------------------------------- buffer

std::size_t HttpResponseReader::FindLineEnd(bool stopAtNul) const {
    const char* start = buf_.data() + begin_;
    const std::size_t held = end_ - begin_;
    const std::size_t searchable = stopAtNul ? strnlen(start, held) : held;
    const void* lf = std::memchr(start, '\n', searchable);
    return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start)
              : std::string_view::npos;
}

void HttpResponseReader::TakeLine(std::size_t lineLen) {
    char* start = buf_.data() + begin_;
    const std::size_t textLen = lineLen > 0 && start[lineLen - 1] == '\r' ? lineLen - 1 : lineLen;
    start[textLen] = 0; // over the line end, which is consumed with the line
    text_ = std::string_view(start, textLen);
    lastWasLine_ = true;
    begin_ += lineLen + 1;
}

void HttpResponseReader::TakePiece(std::size_t n) {
    text_ = std::string_view(buf_.data() + begin_, n);
    begin_ += n;
    Terminate(begin_);
}

void HttpResponseReader::Terminate(std::size_t at) {
    savedAt_ = at;
    savedByte_ = buf_[at];
    saved_ = true;
    buf_[at] = 0;
}

void HttpResponseReader::Restore() {
    if (saved_) {
        buf_[savedAt_] = savedByte_;
        saved_ = false;
    }
}

} // namespace zendrel
