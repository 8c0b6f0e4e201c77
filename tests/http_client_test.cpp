// The HTTP client against the scripted server on loopback: the request on
// the wire byte for byte, the ways a body ends, keep-alive, relocation,
// statuses, transfers that break off, the time bounds and the Waiter.
#include "platform/http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/tcp_socket.h"
#include "support/select_waiter.h"
#include "support/test_http_server.h"

namespace platform::http {
namespace {

using std::chrono::milliseconds;
using testing_support::RefusingLoopbackPort;
using testing_support::SelectWaiter;
using testing_support::ServerAction;
using testing_support::TestHttpServer;
using Clock = std::chrono::steady_clock;

class StringSink final : public BodySink {
 public:
  explicit StringSink(std::string start = {}) : data(std::move(start)) {}
  void Append(const char* bytes, std::size_t size) override {
    data.append(bytes, size);
    if (on_append) on_append();
  }
  std::uint64_t Size() const override { return data.size(); }
  void CutBack(std::uint64_t size) override {
    cut_backs.push_back(size);
    data.resize(static_cast<std::size_t>(size));
  }

  std::string data;
  std::vector<std::uint64_t> cut_backs;
  std::function<void()> on_append;
};

// Short enough that a fault fails the test in seconds, not minutes.
Limits TestLimits() {
  Limits limits;
  limits.connect_timeout = milliseconds{5'000};
  limits.idle_timeout = milliseconds{5'000};
  limits.wait_slice = milliseconds{50};
  return limits;
}

std::string WireRequest(const std::string& path, const std::string& host) {
  return "GET " + path +
         " HTTP/1.0\r\n"
         "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
         "User-Agent: Mozilla/4.0 (compatible; ICS)\r\n"
         "Host: " +
         host + "\r\n\r\n";
}

std::string HostOf(const TestHttpServer& server) {
  return "127.0.0.1:" + std::to_string(server.port());
}

// A complete reply with its body framed by Content-Length.
std::string Reply(const std::string& status, const std::string& body,
                  const std::string& headers = "") {
  return "HTTP/1.0 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
         headers + "\r\n" + body;
}

std::vector<ServerAction> Replies(const std::string& status, const std::string& body,
                                  const std::string& headers = "") {
  return {ServerAction::Send(Reply(status, body, headers)), ServerAction::Close()};
}

// A scripted reply and what fetching it gives.
struct ScriptedCase {
  const char* name;  // the request path, after a "/"
  std::vector<ServerAction> actions;
  Failure failure;
  const char* body;
};

FetchResult FetchScripted(HttpClient& client, TestHttpServer& server, const ScriptedCase& c,
                          StringSink& sink) {
  const std::string path = std::string("/") + c.name;
  server.Script(path, c.actions);
  return client.Get(server.Url(path), sink);
}

class HttpClientTest : public ::testing::Test {
 protected:
  TestHttpServer server;
  SelectWaiter waiter;
  HttpClient client{waiter, TestLimits()};
};

TEST_F(HttpClientTest, SendsExactlyTheRequestForTheAddress) {
  const std::string port = std::to_string(server.port());
  const struct {
    std::string url;
    std::string path;
    std::string host;
  } cases[] = {
      {server.Url(""), "/", HostOf(server)},
      {server.Url("/files/update.xml?channel=beta&n=1"), "/files/update.xml?channel=beta&n=1",
       HostOf(server)},
      {"HTTP://127.0.0.1:" + port + "?only=query", "/?only=query", HostOf(server)},
      // A "localhost" name goes to loopback and names itself in the Host line.
      {"http://localhost:" + port + "/dir/", "/dir/", "localhost:" + port},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    server.Script(c.path, Replies("200 OK", "body"));
    const std::size_t before = server.requests().size();
    StringSink sink;
    const FetchResult result = client.Get(c.url, sink);
    EXPECT_EQ(result.failure, Failure::kNone);
    EXPECT_EQ(sink.data, "body");
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(requests.back(), WireRequest(c.path, c.host));
  }
}

// Callers build addresses by concatenation; a base without its "/" and a
// path without its own run together. The names are under "invalid", so
// nothing asks a resolver about them.
TEST_F(HttpClientTest, RunTogetherAddressesFailCleanly) {
  const struct {
    std::string url;
    Failure failure;
  } cases[] = {
      {"http://127.0.0.1:" + std::to_string(server.port()) + "update.xml", Failure::kBadAddress},
      {"http://127.0.0.1" + std::string("mirror.invalid/update.xml"), Failure::kResolveFailed},
      {"http://updates" + std::string(".invalid") + "files/update.xml", Failure::kResolveFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    StringSink sink;
    EXPECT_EQ(client.Get(c.url, sink).failure, c.failure);
    EXPECT_EQ(sink.data, "");
  }
  EXPECT_EQ(server.connections(), 0);
}

TEST_F(HttpClientTest, FailsOnStatusesFrom400But401And407KeepingTheBody) {
  const struct {
    const char* status;
    int code;
    Failure failure;
  } cases[] = {
      {"200 OK", 200, Failure::kNone},
      {"203 Non-Authoritative Information", 203, Failure::kNone},
      {"302 Found", 302, Failure::kNone},  // no Location: nothing to follow
      {"401 Unauthorized", 401, Failure::kNone},
      {"407 Proxy Authentication Required", 407, Failure::kNone},
      {"400 Bad Request", 400, Failure::kHttpStatus},
      {"403 Forbidden", 403, Failure::kHttpStatus},
      {"404 Not Found", 404, Failure::kHttpStatus},
      {"500 Internal Server Error", 500, Failure::kHttpStatus},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    const std::string path = "/status/" + std::to_string(c.code);
    server.Script(path, Replies(c.status, "page of " + std::to_string(c.code)));
    StringSink sink;
    const FetchResult result = client.Get(server.Url(path), sink);
    EXPECT_EQ(result.failure, c.failure);
    EXPECT_EQ(result.status, c.code);
    EXPECT_EQ(sink.data, "page of " + std::to_string(c.code));
  }
  server.Script("/204", {ServerAction::Send("HTTP/1.0 204 No Content\r\n\r\n")});
  StringSink sink;
  const FetchResult result = client.Get(server.Url("/204"), sink);
  EXPECT_EQ(result.failure, Failure::kNone);
  EXPECT_EQ(result.status, 204);
  EXPECT_EQ(sink.data, "");
}

TEST(HttpClientKeepAlive, ReusesTheConnectionOnlyWhenTheReplyAsks) {
  const struct {
    const char* name;
    std::vector<ServerAction> actions;
    int connections;
  } cases[] = {
      {"keep_alive_by_length",
       {ServerAction::Send(Reply("200 OK", "same", "Connection: keep-alive\r\n"))},
       1},
      {"keep_alive_chunked_any_case",
       {ServerAction::Send("HTTP/1.1 200 OK\r\nConnection: Keep-Alive\r\n"
                           "Transfer-Encoding: chunked\r\n\r\n4\r\nsame\r\n0\r\n\r\n")},
       1},
      // The extra bytes would be read as the next request's reply.
      {"keep_alive_with_bytes_after_the_body",
       {ServerAction::Send(Reply("200 OK", "same", "Connection: keep-alive\r\n") + "junk")},
       2},
      {"no_connection_header", {ServerAction::Send(Reply("200 OK", "same"))}, 2},
      {"connection_close",
       {ServerAction::Send(Reply("200 OK", "same", "Connection: close\r\n"))},
       2},
      {"keep_alive_but_ends_at_the_close",
       {ServerAction::Send("HTTP/1.0 200 OK\r\nConnection: keep-alive\r\n\r\nsame"),
        ServerAction::Close()},
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestHttpServer server;
    server.Script("/a", c.actions);
    SelectWaiter waiter;
    HttpClient client(waiter, TestLimits());
    for (int i = 0; i < 2; ++i) {
      StringSink sink;
      EXPECT_EQ(client.Get(server.Url("/a"), sink).failure, Failure::kNone);
      EXPECT_EQ(sink.data, "same");
    }
    EXPECT_EQ(server.connections(), c.connections);
    EXPECT_EQ(server.requests(), std::vector<std::string>(2, WireRequest("/a", HostOf(server))));
  }
}

TEST(HttpClientKeepAlive, AKeptConnectionTheServerClosedIsReplacedOnce) {
  TestHttpServer server;
  // It says keep-alive, then closes anyway.
  server.Script("/a", {ServerAction::Send(Reply("200 OK", "one", "Connection: keep-alive\r\n")),
                       ServerAction::Close()});
  SelectWaiter waiter;
  HttpClient client(waiter, TestLimits());
  StringSink first;
  ASSERT_EQ(client.Get(server.Url("/a"), first).failure, Failure::kNone);
  StringSink second;
  EXPECT_EQ(client.Get(server.Url("/a"), second).failure, Failure::kNone);
  EXPECT_EQ(second.data, "one");
  EXPECT_EQ(server.connections(), 2);
  EXPECT_EQ(server.requests().size(), 2U);

  // The new connection fails too: that is the end, not a third connection.
  server.Script("/a", {ServerAction::Close()});
  StringSink third;
  EXPECT_EQ(client.Get(server.Url("/a"), third).failure, Failure::kProtocolError);
  EXPECT_EQ(server.connections(), 3);
}

TEST(HttpClientRelocation, FollowsToAnotherHostDroppingTheRelocatingBody) {
  TestHttpServer first;
  TestHttpServer second;
  // Kept alive, the first server's connection must not carry the request
  // meant for the second.
  first.Script("/start", {ServerAction::Send(Reply("302 Found", "moved, see there",
                                                   "Connection: keep-alive\r\nLocation: " +
                                                       second.Url("/final?x=1") + "\r\n"))});
  second.Script("/final?x=1", Replies("200 OK", "final body"));
  SelectWaiter waiter;
  HttpClient client(waiter, TestLimits());
  // What the sink held before stays: the cut goes back to where the
  // relocating reply's body began.
  StringSink sink("kept:");
  const FetchResult result = client.Get(first.Url("/start"), sink);
  EXPECT_EQ(result.failure, Failure::kNone);
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(sink.data, "kept:final body");
  EXPECT_EQ(sink.cut_backs, std::vector<std::uint64_t>{5});
  EXPECT_EQ(first.requests(), std::vector<std::string>{WireRequest("/start", HostOf(first))});
  EXPECT_EQ(second.requests(), std::vector<std::string>{WireRequest("/final?x=1", HostOf(second))});
}

TEST(HttpClientRelocation, ResolvesRelativeTargetsAndFollowsWhateverTheStatus) {
  const struct {
    const char* status;
    const char* location;  // "{other}" stands for the other server's host:port
    bool on_other;
    const char* path;
  } cases[] = {
      {"301 Moved Permanently", "/x", false, "/x"},
      {"302 Found", "x", false, "/dir/sub/x"},
      {"303 See Other", "../x?y=1", false, "/dir/x?y=1"},
      {"307 Temporary Redirect", "?q=2", false, "/dir/sub/page?q=2"},
      {"302 Found", "//{other}/x", true, "/x"},
      {"200 OK", "/x", false, "/x"},
      {"404 Not Found", "./y", false, "/dir/sub/y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.status) + " " + c.location);
    TestHttpServer server;
    TestHttpServer other;
    std::string location = c.location;
    if (const std::size_t at = location.find("{other}"); at != std::string::npos) {
      location.replace(at, 7, HostOf(other));
    }
    server.Script("/dir/sub/page?a=1",
                  Replies(c.status, "relocating body", "Location: " + location + "\r\n"));
    TestHttpServer& target = c.on_other ? other : server;
    target.Script(c.path, Replies("200 OK", "target body"));
    SelectWaiter waiter;
    HttpClient client(waiter, TestLimits());
    StringSink sink;
    const FetchResult result = client.Get(server.Url("/dir/sub/page?a=1"), sink);
    EXPECT_EQ(result.failure, Failure::kNone);
    EXPECT_EQ(sink.data, "target body");
    ASSERT_FALSE(target.requests().empty());
    EXPECT_EQ(target.requests().back(), WireRequest(c.path, HostOf(target)));
  }
}

TEST(HttpClientRelocation, FollowsFiveAndRefusesTheSixthInEveryGet) {
  for (const int relocations : {5, 6}) {
    SCOPED_TRACE(relocations);
    TestHttpServer server;
    std::vector<std::string> chain;
    for (int i = 0; i < relocations; ++i) {
      const std::string next = "/r" + std::to_string(i + 1);
      server.Script("/r" + std::to_string(i),
                    Replies("302 Found", "hop", "Location: " + next + "\r\n"));
    }
    server.Script("/r" + std::to_string(relocations), Replies("200 OK", "end"));
    SelectWaiter waiter;
    HttpClient client(waiter, TestLimits());
    // The count starts again with each Get.
    for (int round = 0; round < 2; ++round) {
      StringSink sink;
      const FetchResult result = client.Get(server.Url("/r0"), sink);
      for (int i = 0; i <= std::min(relocations, 5); ++i) chain.push_back("/r" + std::to_string(i));
      if (relocations == 5) {
        EXPECT_EQ(result.failure, Failure::kNone);
        EXPECT_EQ(sink.data, "end");
      } else {
        EXPECT_EQ(result.failure, Failure::kTooManyRelocations);
        EXPECT_EQ(result.status, 302);
        EXPECT_EQ(sink.data, "");
      }
      // The sixth target is never asked for.
      EXPECT_EQ(server.paths(), chain);
    }
  }
}

// A transfer that breaks off after the status line is no failure: the
// caller gets what came. One that never brought a status line is.
TEST_F(HttpClientTest, LeavesInTheSinkWhatTheReplyBrought) {
  const std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n";
  const ScriptedCase cases[] = {
      {"by_length",
       {ServerAction::Send(Reply("200 OK", "by length"))},
       Failure::kNone,
       "by length"},
      {"by_chunks",
       {ServerAction::Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "3\r\nby \r\n7;ext=1\r\nchunks,\r\n4\r\n ok.\r\n"
                           "0\r\nX-Trailer: t\r\n\r\n")},
       Failure::kNone,
       "by chunks, ok."},
      {"to_the_close",
       {ServerAction::Send("HTTP/1.0 200 OK\r\n\r\nby the end\r\nof the connection"),
        ServerAction::Close()},
       Failure::kNone,
       "by the end\r\nof the connection"},
      {"closed_inside_the_body",
       {ServerAction::Send(head + "abc"), ServerAction::Close()},
       Failure::kNone,
       "abc"},
      // The pause lets the bytes arrive before the reset overtakes them.
      {"reset_inside_the_body",
       {ServerAction::Send(head + "abc"), ServerAction::Stall(milliseconds{100}),
        ServerAction::Reset()},
       Failure::kNone,
       "abc"},
      {"closed_inside_the_head",
       {ServerAction::Send("HTTP/1.0 200 OK\r\nContent-Le"), ServerAction::Close()},
       Failure::kNone,
       ""},
      {"bad_chunk_after_a_good_one",
       {ServerAction::Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "3\r\nabc\r\nzz\r\n"),
        ServerAction::Close()},
       Failure::kProtocolError,
       "abc"},
      {"closed_before_any_byte", {ServerAction::Close()}, Failure::kProtocolError, ""},
      {"reset_before_any_byte", {ServerAction::Reset()}, Failure::kProtocolError, ""},
      {"closed_inside_the_status_line",
       {ServerAction::Send("HTTP/1.0 20"), ServerAction::Close()},
       Failure::kProtocolError,
       ""},
      {"no_http_reply",
       {ServerAction::Send("SSH-2.0-Server\r\n"), ServerAction::Close()},
       Failure::kProtocolError,
       ""},
  };
  for (const ScriptedCase& c : cases) {
    SCOPED_TRACE(c.name);
    StringSink sink;
    const FetchResult result = FetchScripted(client, server, c, sink);
    EXPECT_EQ(result.failure, c.failure);
    if (c.failure == Failure::kNone) {
      EXPECT_EQ(result.status, 200);
    }
    EXPECT_EQ(sink.data, c.body);
  }
}

TEST_F(HttpClientTest, FetchesNothingFromAddressesItCannotUse) {
  server.Script("/to-https",
                Replies("302 Found", "",
                        "Location: https://127.0.0.1:" + std::to_string(server.port()) + "/x\r\n"));
  const struct {
    std::string url;
    Failure failure;
    int connections;
  } cases[] = {
      {"ftp://127.0.0.1:" + std::to_string(server.port()) + "/x", Failure::kUnsupportedScheme, 0},
      {"https://127.0.0.1:" + std::to_string(server.port()) + "/x", Failure::kUnsupportedScheme, 0},
      {"http://nothing.invalid/", Failure::kResolveFailed, 0},
      {"not an address", Failure::kBadAddress, 0},
      {server.Url("/to-https"), Failure::kUnsupportedScheme, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    StringSink sink;
    EXPECT_EQ(client.Get(c.url, sink).failure, c.failure);
    EXPECT_EQ(server.connections(), c.connections);
  }
}

TEST(HttpClientBounds, ARefusedConnectionFailsFast) {
  SelectWaiter waiter;
  HttpClient client(waiter);  // the product's bounds: 30 s to connect
  StringSink sink;
  const Clock::time_point start = Clock::now();
  const FetchResult result =
      client.Get("http://127.0.0.1:" + std::to_string(RefusingLoopbackPort()) + "/", sink);
  EXPECT_EQ(result.failure, Failure::kConnectFailed);
  EXPECT_LT(Clock::now() - start, milliseconds{5'000});
}

constexpr milliseconds kShortBound{300};

// Fetches `url` with one bound cut to kShortBound: the fetch must end with
// `failure` after about that long, every wait having gone through the
// Waiter in passes no longer than the slice.
void ExpectFailureAtTheShortBound(milliseconds Limits::*bound, const std::string& url,
                                  Failure failure, StringSink& sink) {
  Limits limits = TestLimits();
  limits.*bound = kShortBound;
  SelectWaiter waiter;
  HttpClient client(waiter, limits);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(client.Get(url, sink).failure, failure);
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, kShortBound);
  EXPECT_LT(elapsed, milliseconds{3'000});
  // Several passes, not one: each may run long on a busy machine, so that
  // fewer than bound / slice of them can fill the bound.
  EXPECT_LE(waiter.longest_pass(), limits.wait_slice);
  EXPECT_GE(waiter.calls(), 2);
}

TEST(HttpClientBounds, ASilentServerStallsTheFetchAfterTheIdleBound) {
  const ScriptedCase cases[] = {
      {"silent_from_the_start", {ServerAction::Stall(milliseconds{10'000})}, Failure::kStalled, ""},
      {"silent_inside_the_body",
       {ServerAction::Send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\npart"),
        ServerAction::Stall(milliseconds{10'000})},
       Failure::kStalled,
       "part"},
  };
  for (const ScriptedCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestHttpServer server;
    const std::string path = std::string("/") + c.name;
    server.Script(path, c.actions);
    StringSink sink;
    ExpectFailureAtTheShortBound(&Limits::idle_timeout, server.Url(path), c.failure, sink);
    EXPECT_EQ(sink.data, c.body);
  }
}

// A listener whose queue of connections not yet accepted is full: the
// system leaves a further connect unanswered, as a host that drops packets
// does, without a packet leaving this machine.
class FullListener {
 public:
  FullListener() : listener_(net::TcpSocket::Open()) {
    if (!listener_.Listen({net::kLoopbackAddress, 0}, 0)) return;
    for (int i = 0; i < kMaxFillers && !full_; ++i) {
      net::TcpSocket filler = net::TcpSocket::Open();
      net::ConnectState state = filler.StartConnect({net::kLoopbackAddress, port()});
      if (state == net::ConnectState::kPending &&
          net::WaitForSocket(filler.handle(), true, milliseconds{200})) {
        state = filler.CheckConnect();
      }
      full_ = state == net::ConnectState::kPending;
      fillers_.push_back(std::move(filler));
    }
  }

  bool full() const { return full_; }
  std::uint16_t port() const { return listener_.LocalPort(); }

 private:
  static constexpr int kMaxFillers = 16;
  net::TcpSocket listener_;
  std::vector<net::TcpSocket> fillers_;
  bool full_ = false;
};

TEST(HttpClientBounds, AConnectThatIsNotAnsweredEndsAtTheConnectBound) {
  const FullListener listener;
  ASSERT_TRUE(listener.full()) << "the system answered every connect to a full backlog";
  StringSink sink;
  ExpectFailureAtTheShortBound(&Limits::connect_timeout,
                               "http://127.0.0.1:" + std::to_string(listener.port()) + "/",
                               Failure::kConnectTimedOut, sink);
}

TEST_F(HttpClientTest, AfterTheWaiterSaysTerminatedEveryGetGivesUpAtOnce) {
  server.Script("/slow", {ServerAction::Send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\npart"),
                          ServerAction::Stall(milliseconds{10'000})});
  server.Script("/fine", Replies("200 OK", "fine"));
  StringSink sink;
  // Asked to end while the body has begun and the server has gone quiet.
  sink.on_append = [this] { waiter.TerminateWhenIdle(); };
  const Clock::time_point start = Clock::now();
  const FetchResult result = client.Get(server.Url("/slow"), sink);
  EXPECT_EQ(result.failure, Failure::kTerminated);
  EXPECT_EQ(sink.data, "part");
  // Well before the idle bound of 5 s.
  EXPECT_LT(Clock::now() - start, milliseconds{2'000});
  ASSERT_EQ(server.connections(), 1);

  const int calls = waiter.calls();
  StringSink later;
  EXPECT_EQ(client.Get(server.Url("/fine"), later).failure, Failure::kTerminated);
  EXPECT_EQ(later.data, "");
  EXPECT_EQ(waiter.calls(), calls);
  EXPECT_EQ(server.connections(), 1);
}

}  // namespace
}  // namespace platform::http
