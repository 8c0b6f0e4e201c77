// Reads one HTTP/1.x reply from the bytes of a connection, fed in pieces of
// any size down to one byte: the status, the headers, then the body as it
// comes, framed by Content-Length, by chunks, or by the end of the
// connection. Interim (1xx) replies are read and passed over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::http {

// Mirrors are servers we were told about, not ones we trust: every count
// read from the wire has a bound, so that a reply cannot make us hold or
// count without end.
// A status, header, chunk-size or trailer line, its line end not counted.
inline constexpr std::size_t kMaxLineBytes = 8 * 1024;
// All heads of one reply, the interim ones included, line ends counted. The
// trailer section after the last chunk has a budget of its own of this size.
inline constexpr std::size_t kMaxHeadBytes = 64 * 1024;
// Header lines in one head.
inline constexpr std::size_t kMaxHeaderCount = 100;
// Content-Length and chunk sizes must fit 64 bits; see ParseError.

enum class ParseError {
  kNone,
  kBadStatusLine,  // not "HTTP/1.<digit> <3 digits>[ reason]", or not 100 to 599
  kLineTooLong,
  kHeadTooLarge,  // the heads, or the trailers, over kMaxHeadBytes
  kTooManyHeaders,
  // No colon, a name that is no token (white space before the colon
  // included), or a folded continuation line: obs-fold is refused, not joined.
  kBadHeaderLine,
  kBadContentLength,  // not all digits, over 64 bits, or several that differ
  // A size that is not hex or is over 64 bits, anything but an extension
  // after it, or no bare line end after the chunk's data.
  kBadChunk,
};

struct Header {
  std::string name;
  std::string value;  // without the white space around it
};

struct ResponseHead {
  int status = 0;
  std::string reason;
  std::vector<Header> headers;

  // The first header named `name`, in any case; null when there is none.
  const std::string* Find(std::string_view name) const;
};

class ResponseParser {
 public:
  enum class Event {
    kNeedMore,  // all of the input is taken: feed more
    kHead,      // the final reply's head is complete: head()
    kBody,      // a piece of the body, in Step::body
    kEnd,       // the reply is complete; it repeats on every later call
    kError,     // error() says why; it repeats on every later call
  };
  struct Step {
    Event event = Event::kNeedMore;
    std::string_view body;  // a part of the input given to Next
  };

  // Takes bytes from the front of `input` up to the next event. After kEnd,
  // what is left of `input` came after the reply.
  Step Next(std::string_view& input);

  // The final (not interim) reply's status line has arrived.
  bool status_received() const { return status_received_; }
  bool head_complete() const { return head_complete_; }
  const ResponseHead& head() const { return head_; }
  // Once the reply has ended (kEnd, which a body that runs to the end of the
  // connection never reaches): its connection may carry the next request,
  // as it said "Connection: keep-alive" and not "close".
  bool keep_alive() const { return keep_alive_; }
  ParseError error() const { return error_; }

 private:
  enum class State {
    kStatusLine,
    kHeaderLine,
    kFixedBody,
    kBodyToClose,
    kChunkSize,
    kChunkData,
    kChunkDataEnd,
    kTrailerLine,
    kEnd,
    kError,
  };
  enum class LineRead { kPartial, kComplete, kFailed };

  Step TakeBody(std::string_view& input);
  LineRead ReadLine(std::string_view& input);
  ParseError OnLine();
  ParseError OnStatusLine();
  ParseError OnHeaderLine();
  ParseError OnHeadEnd();
  ParseError OnChunkSizeLine();
  Step Fail(ParseError error);

  State state_ = State::kStatusLine;
  ParseError error_ = ParseError::kNone;
  ResponseHead head_;
  bool status_received_ = false;
  bool head_complete_ = false;
  bool keep_alive_ = false;
  std::string line_;
  // Bytes of the heads so far, or of the trailers once they have begun.
  std::size_t section_bytes_ = 0;
  // Of the Content-Length body or of the current chunk.
  std::uint64_t remaining_ = 0;
};

}  // namespace platform::http
