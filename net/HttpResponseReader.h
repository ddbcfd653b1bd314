#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

// Reads an HTTP response from the bytes of a connection as they arrive, and hands out what it
// finds one event at a time. It owns the one fixed receive buffer of the HTTP client, so its
// bounds are those the client has always had; what the lines mean (status, fields, relocation)
// is left to its user, who also picks the body's framing when the header ends.
class HttpResponseReader {
public:
    enum class Event : std::uint8_t {
        NeedMore,   // nothing more can be read from the bytes held
        StatusLine, // a header line starting with "HTTP/1.0" or "HTTP/1.1"
        HeaderLine, // any other non-empty header line
        HtmlStart,  // a header line starting with "<HTML>": the reply has no header
        HeaderEnd,  // the empty line; the body is read until the close unless told otherwise
        BodyPiece,  // body bytes
        BodyEnd,    // the end of a body of known length or of a chunked body
        Error,      // see failure(); the reader stays failed until Reset
    };
    enum class Failure : std::uint8_t {
        None,
        LineTooLong,      // a header line filled the buffer (not terminal: more data is refused)
        BadChunkSize,     // a chunk-size line that is not hex digits with optional extensions
        ChunkLineTooLong, // a chunk-size line longer than kMaxChunkLineBytes
        BadChunkEnd,      // chunk data not followed by a line end
        TrailersTooLong,  // trailer lines longer than kMaxTrailerBytes in all
    };

    // The receive buffer: one byte is always kept for the zero after the held bytes.
    static constexpr int kBufSize = 8193;
    static constexpr std::size_t kMaxChunkLineBytes = 4096;
    static constexpr std::size_t kMaxTrailerBytes = 4096;

    HttpResponseReader();

    // Forgets everything held and starts reading a header.
    void Reset();
    // How many bytes the next reception may bring: 0 when a header line fills the buffer.
    int Room() const { return kBufSize - Held() - 1; }
    // Where the next reception goes (Room() bytes fit there).
    char* Space();
    // Takes `n` bytes written at Space() as one reception.
    void Commit(int n);
    // Copies as much of `data` as there is room for, as one reception; returns the count taken.
    std::size_t Feed(const char* data, std::size_t n);

    // The next event. Text() then holds its line (without line end) or body piece.
    Event Next();
    // The line or piece of the last event, followed in memory by one zero byte that its length
    // does not count; valid until the next call of any other operation.
    std::string_view Text() const { return text_; }
    // Whether the last piece was a line cut out of the buffer (header lines, and the lines that
    // follow "<HTML>" in the same reception) rather than a whole reception.
    bool LastWasLine() const { return lastWasLine_; }
    Failure failure() const { return failure_; }

    // Body framings, chosen right after HeaderEnd; reading until the close is the default.
    void ReadBodyUntilClose();
    void ReadBodyOfLength(std::uint64_t length);
    void ReadChunkedBody();
    // Reads a further header from what is held (after an interim 1xx response).
    void ReadHeaderAgain();
    // Drops the bytes held.
    void Discard();
    // The bytes held, given away (what a peer sent after the header).
    std::string TakeHeld();
    int Held() const { return static_cast<int>(end_ - begin_); }

private:
    enum class Mode : std::uint8_t {
        Header,
        HtmlLines,
        UntilClose,
        Length,
        ChunkSize,
        ChunkData,
        ChunkDataEnd,
        Trailer,
        Done,
        Failed
    };

    Event NextInHeader();
    Event NextHtmlLine();
    Event NextWhole();
    Event NextOfLength();
    std::optional<Event> NextChunkSize(); // nothing: go on in the new mode
    Event NextChunkData();
    std::optional<Event> NextChunkDataEnd();
    std::optional<Event> NextTrailer();
    Event Fail(Failure f);
    // The length of the line at the front up to its line feed, searched up to the first zero
    // byte when `stopAtNul`; npos when no whole line is held.
    std::size_t FindLineEnd(bool stopAtNul) const;
    // Takes the line of `lineLen` bytes and its line feed off the front as the event's text.
    void TakeLine(std::size_t lineLen);
    // Takes `n` bytes off the front as the event's text.
    void TakePiece(std::size_t n);
    void Terminate(std::size_t at);
    void Restore();

    std::vector<char> buf_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    Mode mode_ = Mode::Header;
    Failure failure_ = Failure::None;
    std::uint64_t remaining_ = 0;
    std::size_t trailerBytes_ = 0;
    std::string_view text_;
    bool lastWasLine_ = false;
    // The byte a piece's terminating zero replaced, put back before the buffer is used again.
    std::size_t savedAt_ = 0;
    char savedByte_ = 0;
    bool saved_ = false;
};

} // namespace zendrel
