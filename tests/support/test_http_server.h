// A scriptable HTTP server for the client's tests, inside the test's
// process: it listens on 127.0.0.1 and serves on a thread of its own, one
// connection at a time (several requests on one while the client keeps it
// open), with a list of actions for each request path. It keeps the raw
// bytes of every request, for the tests to hold the wire format to.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/tcp_socket.h"

namespace testing_support {

struct ServerAction {
  enum class Kind { kSend, kClose, kReset, kStall, kCall };
  Kind kind = Kind::kClose;
  std::string bytes;                      // what kSend sends
  std::chrono::milliseconds duration{0};  // how long kStall lasts
  std::function<void()> call;             // what kCall runs

  static ServerAction Send(std::string bytes);
  // Ends the connection in order: the client sees its end.
  static ServerAction Close();
  // Ends it with a reset (SO_LINGER 0).
  static ServerAction Reset();
  // Keeps the connection open and silent for `duration`, or until the
  // server is destroyed.
  static ServerAction Stall(std::chrono::milliseconds duration);
  // Runs `call` on the server's thread, the connection still open: what a
  // test does to the client's files while the client waits for the rest.
  static ServerAction Call(std::function<void()> call);
};

class TestHttpServer {
 public:
  // Port 0: one the system picks. Throws when it cannot listen.
  explicit TestHttpServer(std::uint16_t port = 0);
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;
  // Ends a stall, the connection and the thread.
  ~TestHttpServer();

  std::uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(std::string_view path) const;

  // What the server does each time `path` (query included) is asked for.
  // Once the actions are done, a connection still open is read for its next
  // request. A path without a script gets a 404, and the connection ends.
  void Script(const std::string& path, std::vector<ServerAction> actions);

  // Every request received, byte for byte, in order.
  std::vector<std::string> requests() const;
  // The path of each of them.
  std::vector<std::string> paths() const;
  int connections() const;

 private:
  bool Stopping() const;
  void Serve();
  void ServeConnection(platform::net::TcpSocket& connection);
  bool ReadRequest(platform::net::TcpSocket& connection, std::string& received,
                   std::string& request) const;
  std::vector<ServerAction> Record(const std::string& request);
  // False once the connection is done with.
  bool Perform(platform::net::TcpSocket& connection, const ServerAction& action);
  bool SendAll(platform::net::TcpSocket& connection, std::string_view bytes) const;

  platform::net::TcpSocket listener_;
  std::uint16_t port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::map<std::string, std::vector<ServerAction>> scripts_;
  std::vector<std::string> requests_;
  int connections_ = 0;
  std::thread thread_;
};

// A loopback port that refuses connections: bound, then let go.
std::uint16_t RefusingLoopbackPort();

}  // namespace testing_support
