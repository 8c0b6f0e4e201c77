// The reply's state machine: line states that gather one bounded line at a
// time, and body states that pass the input through without copying it.
#include "platform/http_response_parser.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/ascii_text.h"

namespace platform::http {
namespace {

constexpr std::uint64_t kMaxUint64 = std::numeric_limits<std::uint64_t>::max();

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

// RFC 7230's tchar: what a header name is made of.
bool IsTokenCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsAsciiDigit(c) ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

int HexDigitValue(char c) {
  if (IsAsciiDigit(c)) return c - '0';
  const char lower = AsciiLower(c);
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

std::optional<std::uint64_t> ParseDecimal(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (!IsAsciiDigit(c)) return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (kMaxUint64 - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

// Calls `visit` with each element of the comma-separated lists in all
// headers named `name`, white space trimmed.
template <typename Visit>
void ForEachListElement(const ResponseHead& head, std::string_view name, Visit visit) {
  for (const Header& header : head.headers) {
    if (!EqualsIgnoringCase(header.name, name)) continue;
    std::string_view rest = header.value;
    for (;;) {
      const std::size_t comma = rest.find(',');
      visit(Trim(rest.substr(0, comma)));
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
}

bool HasToken(const ResponseHead& head, std::string_view name, std::string_view token) {
  bool found = false;
  ForEachListElement(head, name, [&](std::string_view element) {
    found = found || EqualsIgnoringCase(element, token);
  });
  return found;
}

// The body is chunked when the last transfer coding named is "chunked";
// with another one last, it runs to the end of the connection.
bool IsChunked(const ResponseHead& head) {
  std::string_view last;
  ForEachListElement(head, "Transfer-Encoding", [&](std::string_view element) { last = element; });
  return EqualsIgnoringCase(last, "chunked");
}

}  // namespace

const std::string* ResponseHead::Find(std::string_view name) const {
  const auto found = std::find_if(headers.begin(), headers.end(), [name](const Header& header) {
    return EqualsIgnoringCase(header.name, name);
  });
  return found == headers.end() ? nullptr : &found->value;
}

ResponseParser::Step ResponseParser::Next(std::string_view& input) {
  for (;;) {
    switch (state_) {
      case State::kEnd:
        return {Event::kEnd, {}};
      case State::kError:
        return {Event::kError, {}};
      case State::kFixedBody:
      case State::kBodyToClose:
      case State::kChunkData:
        return TakeBody(input);
      default:
        break;
    }
    const LineRead read = ReadLine(input);
    if (read == LineRead::kPartial) return {Event::kNeedMore, {}};
    if (read == LineRead::kFailed) return {Event::kError, {}};
    const bool was_head = state_ == State::kHeaderLine;
    const ParseError error = OnLine();
    line_.clear();
    if (error != ParseError::kNone) return Fail(error);
    if (was_head && head_complete_) return {Event::kHead, {}};
  }
}

ResponseParser::Step ResponseParser::TakeBody(std::string_view& input) {
  if (input.empty()) return {Event::kNeedMore, {}};
  std::size_t size = input.size();
  if (state_ != State::kBodyToClose) {
    size = static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, size));
    remaining_ -= size;
    if (remaining_ == 0) state_ = state_ == State::kFixedBody ? State::kEnd : State::kChunkDataEnd;
  }
  const std::string_view piece = input.substr(0, size);
  input.remove_prefix(size);
  return {Event::kBody, piece};
}

ResponseParser::LineRead ResponseParser::ReadLine(std::string_view& input) {
  const std::size_t newline = input.find('\n');
  const bool complete = newline != std::string_view::npos;
  const std::string_view piece = input.substr(0, complete ? newline : input.size());
  const std::size_t taken = complete ? newline + 1 : input.size();
  input.remove_prefix(taken);

  const bool counted =
      state_ == State::kStatusLine || state_ == State::kHeaderLine || state_ == State::kTrailerLine;
  if (counted) {
    section_bytes_ += taken;
    if (section_bytes_ > kMaxHeadBytes) {
      Fail(ParseError::kHeadTooLarge);
      return LineRead::kFailed;
    }
  }
  // One byte over the bound may still be the CR of a CR LF.
  if (line_.size() + piece.size() > kMaxLineBytes + 1) {
    Fail(ParseError::kLineTooLong);
    return LineRead::kFailed;
  }
  line_.append(piece);
  if (!complete) return LineRead::kPartial;
  // Sloppy servers end lines with a bare LF.
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  if (line_.size() > kMaxLineBytes) {
    Fail(ParseError::kLineTooLong);
    return LineRead::kFailed;
  }
  return LineRead::kComplete;
}

ParseError ResponseParser::OnLine() {
  switch (state_) {
    case State::kStatusLine:
      return OnStatusLine();
    case State::kHeaderLine:
      return OnHeaderLine();
    case State::kChunkSize:
      return OnChunkSizeLine();
    case State::kChunkDataEnd:
      if (!line_.empty()) return ParseError::kBadChunk;
      state_ = State::kChunkSize;
      return ParseError::kNone;
    case State::kTrailerLine:
      // Trailers are read past, unexamined.
      if (line_.empty()) state_ = State::kEnd;
      return ParseError::kNone;
    default:
      return ParseError::kNone;
  }
}

ParseError ResponseParser::OnStatusLine() {
  // "HTTP/1.1 200 OK": 12 bytes up to the status, then a space and a reason
  // that may be empty, or nothing at all.
  constexpr std::size_t kStatusEnd = 12;
  const std::string_view line = line_;
  if (line.size() < kStatusEnd || line.substr(0, 7) != "HTTP/1." || !IsAsciiDigit(line[7]) ||
      line[8] != ' ' || !std::all_of(line.begin() + 9, line.begin() + 12, IsAsciiDigit) ||
      (line.size() > kStatusEnd && line[kStatusEnd] != ' ')) {
    return ParseError::kBadStatusLine;
  }
  const int status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
  if (status < 100 || status > 599) return ParseError::kBadStatusLine;
  head_.status = status;
  head_.reason = line.size() > kStatusEnd ? line.substr(kStatusEnd + 1) : std::string_view{};
  status_received_ = status >= 200;
  state_ = State::kHeaderLine;
  return ParseError::kNone;
}

ParseError ResponseParser::OnHeaderLine() {
  if (line_.empty()) return OnHeadEnd();
  if (head_.headers.size() == kMaxHeaderCount) return ParseError::kTooManyHeaders;
  const std::string_view line = line_;
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0 ||
      !std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon),
                   IsTokenCharacter)) {
    return ParseError::kBadHeaderLine;
  }
  head_.headers.push_back(
      {std::string(line.substr(0, colon)), std::string(Trim(line.substr(colon + 1)))});
  return ParseError::kNone;
}

ParseError ResponseParser::OnHeadEnd() {
  if (head_.status < 200) {
    // An interim reply: the real one follows. Its bytes stay counted.
    head_ = {};
    state_ = State::kStatusLine;
    return ParseError::kNone;
  }
  head_complete_ = true;
  if (head_.status == 204 || head_.status == 304) {
    state_ = State::kEnd;
  } else if (head_.Find("Transfer-Encoding") != nullptr) {
    // Ahead of any Content-Length, as RFC 7230 (3.3.3) has it.
    state_ = IsChunked(head_) ? State::kChunkSize : State::kBodyToClose;
  } else {
    std::optional<std::uint64_t> length;
    for (const Header& header : head_.headers) {
      if (!EqualsIgnoringCase(header.name, "Content-Length")) continue;
      const std::optional<std::uint64_t> value = ParseDecimal(header.value);
      if (!value || (length && *length != *value)) return ParseError::kBadContentLength;
      length = value;
    }
    remaining_ = length.value_or(0);
    state_ = !length ? State::kBodyToClose : remaining_ == 0 ? State::kEnd : State::kFixedBody;
  }
  keep_alive_ =
      HasToken(head_, "Connection", "keep-alive") && !HasToken(head_, "Connection", "close");
  return ParseError::kNone;
}

ParseError ResponseParser::OnChunkSizeLine() {
  const std::string_view line = line_;
  std::size_t at = 0;
  std::uint64_t size = 0;
  for (; at < line.size() && HexDigitValue(line[at]) >= 0; ++at) {
    if (size > (kMaxUint64 >> 4)) return ParseError::kBadChunk;
    size = size << 4 | static_cast<std::uint64_t>(HexDigitValue(line[at]));
  }
  if (at == 0) return ParseError::kBadChunk;
  while (at < line.size() && IsWhiteSpace(line[at])) ++at;
  // Chunk extensions are read past, unexamined.
  if (at < line.size() && line[at] != ';') return ParseError::kBadChunk;
  if (size == 0) {
    section_bytes_ = 0;
    state_ = State::kTrailerLine;
  } else {
    remaining_ = size;
    state_ = State::kChunkData;
  }
  return ParseError::kNone;
}

ResponseParser::Step ResponseParser::Fail(ParseError error) {
  error_ = error;
  state_ = State::kError;
  return {Event::kError, {}};
}

}  // namespace platform::http
