// The reply parser, fed each reply whole and in pieces of 1, 2, 3, 7 and 64
// bytes: every way of cutting must give the same head, body and end, and
// the same error for a reply it refuses.
#include "platform/http_response_parser.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::http {
namespace {

using Event = ResponseParser::Event;

constexpr std::size_t kPieceSizes[] = {std::string_view::npos, 1, 2, 3, 7, 64};

// What came of a reply: "status reason|name=value|..." for the head.
struct Outcome {
  std::string head;
  std::string body;
  bool ended = false;
  bool keep_alive = false;
  std::string after_end;  // the bytes after the reply
  int head_events = 0;
  ParseError error = ParseError::kNone;
};

std::string Describe(const ResponseHead& head) {
  std::string text = std::to_string(head.status) + " " + head.reason;
  for (const Header& header : head.headers) text += "|" + header.name + "=" + header.value;
  return text;
}

Outcome Parse(std::string_view reply, std::size_t piece_size) {
  ResponseParser parser;
  Outcome outcome;
  for (std::size_t at = 0; at < reply.size(); at += piece_size) {
    std::string_view input = reply.substr(at, piece_size);
    for (;;) {
      const ResponseParser::Step step = parser.Next(input);
      if (step.event == Event::kHead) {
        ++outcome.head_events;
        outcome.head = Describe(parser.head());
      } else if (step.event == Event::kBody) {
        EXPECT_FALSE(step.body.empty());
        outcome.body.append(step.body);
      } else if (step.event == Event::kNeedMore) {
        EXPECT_TRUE(input.empty()) << "kNeedMore with input left";
        break;
      } else {
        outcome.ended = step.event == Event::kEnd;
        outcome.keep_alive = parser.keep_alive();
        outcome.error = parser.error();
        outcome.after_end =
            std::string(input) + std::string(reply.substr(std::min(reply.size(), at + piece_size)));
        // The event repeats.
        EXPECT_EQ(parser.Next(input).event, step.event);
        return outcome;
      }
    }
  }
  return outcome;
}

struct ReplyCase {
  const char* name;
  std::string reply;
  std::string head;
  std::string body;
  bool ended;
  bool keep_alive;
  std::string after_end;
};

std::string Repeated(char c, std::size_t count) { return std::string(count, c); }

const ReplyCase kReplies[] = {
    {"content_length", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello",
     "200 OK|Content-Length=5", "hello", true, false, ""},
    {"content_length_keep_alive_then_more",
     "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: keep-alive\r\n\r\nhelloNEXT",
     "200 OK|Content-Length=5|Connection=keep-alive", "hello", true, true, "NEXT"},
    {"chunked_with_extensions_and_trailers",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
     "5\r\nhello\r\n1;name=value\r\n \r\nA ; ext=\"x\"\r\n0123456789\r\n"
     "0\r\nX-Trailer: t\r\nOther: u\r\n\r\n",
     "200 OK|Transfer-Encoding=chunked", "hello 0123456789", true, false, ""},
    {"chunk_sizes_in_upper_case_with_leading_zeros",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\nConnection: Keep-Alive\r\n\r\n"
     "000B\r\nhello world\r\n00\r\n\r\nNEXT",
     "200 OK|Transfer-Encoding=Chunked|Connection=Keep-Alive", "hello world", true, true, "NEXT"},
    {"to_the_close_keep_alive_or_not",
     "HTTP/1.0 200 OK\r\nConnection: keep-alive\r\n\r\nall of it\r\n\r\nHTTP/1.0 200 OK\r\n",
     "200 OK|Connection=keep-alive", "all of it\r\n\r\nHTTP/1.0 200 OK\r\n", false, false, ""},
    {"interim_replies_passed_over",
     "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\nX-Interim: y\r\n\r\n"
     "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok",
     "200 OK|Content-Length=2", "ok", true, false, ""},
    {"no_body_for_204", "HTTP/1.1 204 No Content\r\nContent-Length: 5\r\n\r\nhello",
     "204 No Content|Content-Length=5", "", true, false, "hello"},
    {"no_body_for_304", "HTTP/1.1 304 Not Modified\r\nTransfer-Encoding: chunked\r\n\r\n",
     "304 Not Modified|Transfer-Encoding=chunked", "", true, false, ""},
    {"bare_line_feeds", "HTTP/1.0 200 OK\nTransfer-Encoding: chunked\n\n3\nabc\n0\n\n",
     "200 OK|Transfer-Encoding=chunked", "abc", true, false, ""},
    {"chunked_over_content_length",
     "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nTransfer-Encoding: chunked\r\n\r\n"
     "3\r\nabc\r\n0\r\n\r\n",
     "200 OK|Content-Length=100|Transfer-Encoding=chunked", "abc", true, false, ""},
    {"other_coding_runs_to_the_close_undecoded",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\nContent-Length: 3\r\n\r\n\x1f\x8b\x08rest",
     "200 OK|Transfer-Encoding=gzip|Content-Length=3", "\x1f\x8b\x08rest", false, false, ""},
    {"chunked_last_is_chunked_body_not_decoded",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3\r\n\x1f\x8b\x08\r\n0\r\n\r\n",
     "200 OK|Transfer-Encoding=gzip, chunked", "\x1f\x8b\x08", true, false, ""},
    {"names_in_any_case_values_trimmed",
     "HTTP/1.1 200 OK\r\ncontent-LENGTH: \t 3  \r\nX-Empty:\r\n\r\nabc",
     "200 OK|content-LENGTH=3|X-Empty=", "abc", true, false, ""},
    {"no_reason", "HTTP/1.1 404\r\nContent-Length: 0\r\n\r\n", "404 |Content-Length=0", "", true,
     false, ""},
    {"empty_reason", "HTTP/1.1 200 \r\nContent-Length: 0\r\n\r\n", "200 |Content-Length=0", "",
     true, false, ""},
    {"repeated_equal_content_length",
     "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nContent-Length: 3\r\n\r\nabc",
     "200 OK|Content-Length=3|Content-Length=3", "abc", true, false, ""},
    {"close_wins_over_keep_alive",
     "HTTP/1.1 200 OK\r\nConnection: keep-alive, close\r\nContent-Length: 0\r\n\r\n",
     "200 OK|Connection=keep-alive, close|Content-Length=0", "", true, false, ""},
    {"largest_chunk_size",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffffffffffffffff\r\nabc",
     "200 OK|Transfer-Encoding=chunked", "abc", false, false, ""},
    {"largest_content_length", "HTTP/1.1 200 OK\r\nContent-Length: 18446744073709551615\r\n\r\nabc",
     "200 OK|Content-Length=18446744073709551615", "abc", false, false, ""},
    {"lines_at_the_bound",
     "HTTP/1.1 200 " + Repeated('r', kMaxLineBytes - 13) +
         "\r\nX: " + Repeated('v', kMaxLineBytes - 3) + "\nContent-Length: 0\r\n\r\n",
     "200 " + Repeated('r', kMaxLineBytes - 13) + "|X=" + Repeated('v', kMaxLineBytes - 3) +
         "|Content-Length=0",
     "", true, false, ""},
};

std::string ManyHeaders(std::size_t count) {
  std::string headers;
  for (std::size_t i = 0; i < count; ++i)
    headers.append("H").append(std::to_string(i)).append(": v\r\n");
  return headers;
}

TEST(HttpResponseParser, ReadsRepliesCutInAnyPieces) {
  for (const ReplyCase& c : kReplies) {
    for (const std::size_t piece : kPieceSizes) {
      SCOPED_TRACE(std::string(c.name) + " in pieces of " + std::to_string(piece));
      const Outcome outcome = Parse(c.reply, piece);
      EXPECT_EQ(outcome.error, ParseError::kNone);
      EXPECT_EQ(outcome.head_events, 1);
      EXPECT_EQ(outcome.head, c.head);
      EXPECT_EQ(outcome.body, c.body);
      EXPECT_EQ(outcome.ended, c.ended);
      EXPECT_EQ(outcome.keep_alive, c.keep_alive);
      EXPECT_EQ(outcome.after_end, c.after_end);
    }
  }
}

TEST(HttpResponseParser, TakesTheMostHeadersAllowed) {
  const std::string reply = "HTTP/1.1 200 OK\r\n" + ManyHeaders(kMaxHeaderCount) + "\r\n";
  const Outcome outcome = Parse(reply, 64);
  EXPECT_EQ(outcome.error, ParseError::kNone);
  EXPECT_EQ(outcome.head_events, 1);
}

struct ErrorCase {
  const char* name;
  std::string reply;
  ParseError error;
};

const std::string kHead = "HTTP/1.1 200 OK\r\n";
const std::string kChunked = kHead + "Transfer-Encoding: chunked\r\n\r\n";

const ErrorCase kErrors[] = {
    {"status_two_digits", "HTTP/1.0 20 OK\r\n\r\n", ParseError::kBadStatusLine},
    {"status_four_digits", "HTTP/1.0 2000 OK\r\n\r\n", ParseError::kBadStatusLine},
    {"status_below_100", "HTTP/1.0 099 Odd\r\n\r\n", ParseError::kBadStatusLine},
    {"status_above_599", "HTTP/1.0 600 Odd\r\n\r\n", ParseError::kBadStatusLine},
    {"version_2", "HTTP/2.0 200 OK\r\n\r\n", ParseError::kBadStatusLine},
    {"version_two_digits", "HTTP/1.10 200 OK\r\n\r\n", ParseError::kBadStatusLine},
    {"version_lower_case", "http/1.0 200 OK\r\n\r\n", ParseError::kBadStatusLine},
    {"other_protocol", "ICY 200 OK\r\n\r\n", ParseError::kBadStatusLine},
    {"two_spaces", "HTTP/1.0  200 OK\r\n\r\n", ParseError::kBadStatusLine},
    {"no_space_after_status", "HTTP/1.0 200OK\r\n\r\n", ParseError::kBadStatusLine},
    {"empty_line_first", "\r\nHTTP/1.0 200 OK\r\n\r\n", ParseError::kBadStatusLine},
    {"no_status_line_at_all", "<html>hello</html>\n", ParseError::kBadStatusLine},
    {"header_without_colon", kHead + "X-No-Colon\r\n\r\n", ParseError::kBadHeaderLine},
    {"header_without_name", kHead + ": v\r\n\r\n", ParseError::kBadHeaderLine},
    {"space_in_name", kHead + "Bad Name: v\r\n\r\n", ParseError::kBadHeaderLine},
    {"space_before_colon", kHead + "Name : v\r\n\r\n", ParseError::kBadHeaderLine},
    {"folded_line", kHead + "X: a\r\n folded\r\n\r\n", ParseError::kBadHeaderLine},
    {"folded_by_tab", kHead + "X: a\r\n\tfolded\r\n\r\n", ParseError::kBadHeaderLine},
    {"length_with_junk", kHead + "Content-Length: 12abc\r\n\r\n", ParseError::kBadContentLength},
    {"length_negative", kHead + "Content-Length: -1\r\n\r\n", ParseError::kBadContentLength},
    {"length_with_sign", kHead + "Content-Length: +5\r\n\r\n", ParseError::kBadContentLength},
    {"length_empty", kHead + "Content-Length:\r\n\r\n", ParseError::kBadContentLength},
    {"length_two_numbers", kHead + "Content-Length: 1 2\r\n\r\n", ParseError::kBadContentLength},
    {"length_as_list", kHead + "Content-Length: 3, 3\r\n\r\n", ParseError::kBadContentLength},
    {"length_hex", kHead + "Content-Length: 0x10\r\n\r\n", ParseError::kBadContentLength},
    {"length_just_over_64_bits", kHead + "Content-Length: 18446744073709551616\r\n\r\n",
     ParseError::kBadContentLength},
    {"length_far_over_64_bits", kHead + "Content-Length: 99999999999999999999999\r\n\r\n",
     ParseError::kBadContentLength},
    {"lengths_that_differ", kHead + "Content-Length: 3\r\nContent-Length: 4\r\n\r\n",
     ParseError::kBadContentLength},
    {"chunk_size_not_hex", kChunked + "zz\r\n", ParseError::kBadChunk},
    {"chunk_size_missing", kChunked + "\r\n", ParseError::kBadChunk},
    {"chunk_size_negative", kChunked + "-5\r\n", ParseError::kBadChunk},
    {"junk_after_chunk_size", kChunked + "5 x\r\n", ParseError::kBadChunk},
    {"chunk_size_just_over_64_bits", kChunked + "10000000000000000\r\n", ParseError::kBadChunk},
    {"chunk_size_far_over_64_bits", kChunked + "fffffffffffffffffffff\r\n", ParseError::kBadChunk},
    {"no_line_end_after_chunk", kChunked + "5\r\nhelloX\r\n", ParseError::kBadChunk},
    {"status_line_over_the_bound", "HTTP/1.1 200 " + Repeated('r', kMaxLineBytes - 12) + "\r\n",
     ParseError::kLineTooLong},
    {"header_line_over_the_bound", kHead + "X: " + Repeated('v', kMaxLineBytes - 2) + "\n",
     ParseError::kLineTooLong},
    {"unended_line_over_the_bound", Repeated('H', kMaxLineBytes + 2), ParseError::kLineTooLong},
    {"chunk_extension_over_the_bound", kChunked + "1;" + Repeated('x', kMaxLineBytes) + "\r\n",
     ParseError::kLineTooLong},
    {"trailer_line_over_the_bound", kChunked + "0\r\nX: " + Repeated('t', kMaxLineBytes) + "\r\n",
     ParseError::kLineTooLong},
    {"too_many_headers", kHead + ManyHeaders(kMaxHeaderCount + 1) + "\r\n",
     ParseError::kTooManyHeaders},
    {"head_over_the_bound",
     kHead +
         [] {
           std::string headers;
           for (int i = 0; i < 10; ++i) headers += "X: " + Repeated('v', 7000) + "\r\n";
           return headers;
         }(),
     ParseError::kHeadTooLarge},
    {"interim_heads_count_towards_the_bound",
     [] {
       std::string heads;
       for (int i = 0; i < 10; ++i)
         heads += "HTTP/1.1 100 Continue\r\nX: " + Repeated('v', 7000) + "\r\n\r\n";
       return heads + kHead + "\r\n";
     }(),
     ParseError::kHeadTooLarge},
    {"trailers_over_the_bound",
     kChunked + "0\r\n" +
         [] {
           std::string trailers;
           for (int i = 0; i < 10; ++i) trailers += "T: " + Repeated('t', 7000) + "\r\n";
           return trailers;
         }(),
     ParseError::kHeadTooLarge},
};

TEST(HttpResponseParser, RefusesRepliesItCannotRead) {
  for (const ErrorCase& c : kErrors) {
    for (const std::size_t piece : kPieceSizes) {
      SCOPED_TRACE(std::string(c.name) + " in pieces of " + std::to_string(piece));
      const Outcome outcome = Parse(c.reply, piece);
      EXPECT_EQ(outcome.error, c.error);
      EXPECT_FALSE(outcome.ended);
    }
  }
}

// The client tells a reply that broke off from one that never began by
// whether the final status line came.
TEST(HttpResponseParser, SaysWhenTheFinalStatusLineHasCome) {
  const struct {
    const char* received;
    bool status_received;
  } cases[] = {
      {"HTTP/1.0 200 O", false},
      {"HTTP/1.0 200 OK\r\nContent-Le", true},
      {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 2", false},
      {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.received);
    ResponseParser parser;
    std::string_view input = c.received;
    EXPECT_EQ(parser.Next(input).event, Event::kNeedMore);
    EXPECT_EQ(parser.status_received(), c.status_received);
    EXPECT_FALSE(parser.head_complete());
  }
}

}  // namespace
}  // namespace platform::http
