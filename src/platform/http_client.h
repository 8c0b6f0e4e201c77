// The HTTP/1.0 client through which the run reaches its mirrors: GET only,
// "http" only, relocations followed, the body handed to a sink as it
// arrives. While it waits it lets the caller keep the window alive, and it
// gives up at once when the program has been asked to end.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::http {

// Where a reply's body goes: a text in memory, or the download file.
class BodySink {
 public:
  virtual void Append(const char* data, std::size_t size) = 0;
  virtual std::uint64_t Size() const = 0;
  // Drops what came after `size` bytes: a relocated reply's body is not kept.
  virtual void CutBack(std::uint64_t size) = 0;

 protected:
  ~BodySink() = default;
};

// How a fetch waits on its socket: the caller keeps its messages flowing.
class Waiter {
 public:
  enum class Outcome {
    kReady,       // the socket can be read (or written)
    kTimedOut,    // nothing happened within the time given
    kTerminated,  // the program has been asked to end: give up
  };
  // Waits at most `at_most` for `socket` (a SOCKET on Windows, a file
  // descriptor elsewhere) to become readable, or writable when
  // `for_writing`, and dispatches the messages that are pending meanwhile.
  // A connect that failed counts as ready too (Windows' select reports it
  // in the exception set, not the write set), and so does a failed wait:
  // the client asks the socket what happened. Coming back early is
  // harmless; the client keeps its own time.
  virtual Outcome WaitForSocket(std::intptr_t socket, bool for_writing,
                                std::chrono::milliseconds at_most) = 0;

 protected:
  ~Waiter() = default;
};

struct Limits {
  // A mirror that cannot be reached or stops sending must not hold the run
  // (and, through the single-instance guard, every later start) for ever.
  std::chrono::milliseconds connect_timeout{30'000};
  std::chrono::milliseconds idle_timeout{60'000};
  // The longest a pass of the wait lasts before messages are dispatched.
  std::chrono::milliseconds wait_slice{1'000};
  int max_relocations = 5;
};

enum class Failure {
  kNone,
  kBadAddress,         // not an address we can parse
  kUnsupportedScheme,  // anything but http
  kResolveFailed,
  kConnectFailed,
  kConnectTimedOut,
  kStalled,             // no byte for idle_timeout
  kProtocolError,       // a reply we cannot read (bad status line, over a bound)
  kHttpStatus,          // 400 and up, except 401 and 407
  kTooManyRelocations,  // a sixth relocation asked for
  kTerminated,          // the program was asked to end
};

struct FetchResult {
  Failure failure = Failure::kNone;
  int status = 0;  // of the last reply, when its status line came
  bool ok() const { return failure == Failure::kNone; }
};

struct Url;
class Transport;

class HttpClient {
 public:
  explicit HttpClient(Waiter& waiter, Limits limits = {});
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;
  ~HttpClient();

  // GETs `url` into `sink`. The body that arrived stays in the sink also
  // when the fetch fails after it began (a cut transfer is no failure).
  // Once a wait has reported kTerminated, this and every later Get fail
  // with kTerminated at once, without connecting. The system looks host
  // names up before the connect bound starts, and may block meanwhile.
  FetchResult Get(const std::string& url, BodySink& sink);

 private:
  struct Connection;
  struct Reply;
  // One request and its reply, over the kept connection or a new one.
  Reply Fetch(const Url& url, BodySink& sink);
  static Reply Exchange(Transport& transport, Connection& connection, const std::string& request,
                        BodySink& sink);

  Waiter& waiter_;
  Limits limits_;
  // The connection a "keep-alive" reply left open, for the next request to
  // the same host and port.
  std::unique_ptr<Connection> kept_;
  bool terminated_ = false;
};

}  // namespace platform::http
