#include "support/test_http_server.h"

#include <stdexcept>
#include <utility>

namespace testing_support {
namespace {

using platform::net::IoStatus;
using platform::net::TcpSocket;

// How long the server's thread waits before it looks whether it should end.
constexpr std::chrono::milliseconds kPoll{20};
constexpr int kBacklog = 8;
// Our client's requests are a few hundred bytes; more is a broken test.
constexpr std::size_t kMaxRequestBytes = 64 * 1024;
constexpr std::string_view kRequestEnd = "\r\n\r\n";

// "GET <path> HTTP/1.0": the part between the first two spaces.
std::string PathOf(std::string_view request) {
  const std::string_view line = request.substr(0, request.find("\r\n"));
  const std::size_t start = line.find(' ');
  if (start == std::string_view::npos) return {};
  const std::size_t end = line.find(' ', start + 1);
  return std::string(line.substr(start + 1, end == std::string_view::npos ? end : end - start - 1));
}

}  // namespace

ServerAction ServerAction::Send(std::string bytes) {
  return {Kind::kSend, std::move(bytes), std::chrono::milliseconds{0}, {}};
}
ServerAction ServerAction::Close() { return {Kind::kClose, {}, std::chrono::milliseconds{0}, {}}; }
ServerAction ServerAction::Reset() { return {Kind::kReset, {}, std::chrono::milliseconds{0}, {}}; }
ServerAction ServerAction::Stall(std::chrono::milliseconds duration) {
  return {Kind::kStall, {}, duration, {}};
}
ServerAction ServerAction::Call(std::function<void()> call) {
  return {Kind::kCall, {}, std::chrono::milliseconds{0}, std::move(call)};
}

TestHttpServer::TestHttpServer(std::uint16_t port) : listener_(TcpSocket::Open()) {
  if (!listener_ || !listener_.Listen({platform::net::kLoopbackAddress, port}, kBacklog)) {
    throw std::runtime_error("the test server cannot listen on 127.0.0.1:" + std::to_string(port));
  }
  port_ = listener_.LocalPort();
  thread_ = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  thread_.join();
}

std::string TestHttpServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void TestHttpServer::Script(const std::string& path, std::vector<ServerAction> actions) {
  const std::lock_guard lock(mutex_);
  scripts_[path] = std::move(actions);
}

std::vector<std::string> TestHttpServer::requests() const {
  const std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<std::string> TestHttpServer::paths() const {
  std::vector<std::string> paths;
  for (const std::string& request : requests()) paths.push_back(PathOf(request));
  return paths;
}

int TestHttpServer::connections() const {
  const std::lock_guard lock(mutex_);
  return connections_;
}

bool TestHttpServer::Stopping() const {
  const std::lock_guard lock(mutex_);
  return stopping_;
}

void TestHttpServer::Serve() {
  while (!Stopping()) {
    if (!platform::net::WaitForSocket(listener_.handle(), false, kPoll)) continue;
    TcpSocket connection = listener_.Accept();
    if (!connection) continue;
    {
      const std::lock_guard lock(mutex_);
      ++connections_;
    }
    ServeConnection(connection);
  }
}

void TestHttpServer::ServeConnection(TcpSocket& connection) {
  std::string received;
  std::string request;
  while (ReadRequest(connection, received, request)) {
    for (const ServerAction& action : Record(request)) {
      if (!Perform(connection, action)) return;
    }
  }
}

bool TestHttpServer::ReadRequest(TcpSocket& connection, std::string& received,
                                 std::string& request) const {
  char buffer[4096];
  for (;;) {
    const std::size_t end = received.find(kRequestEnd);
    if (end != std::string::npos) {
      request = received.substr(0, end + kRequestEnd.size());
      received.erase(0, request.size());
      return true;
    }
    if (received.size() > kMaxRequestBytes || Stopping()) return false;
    const platform::net::IoResult result = connection.Receive(buffer, sizeof buffer);
    if (result.status == IoStatus::kDone) {
      received.append(buffer, result.size);
    } else if (result.status == IoStatus::kWouldBlock) {
      platform::net::WaitForSocket(connection.handle(), false, kPoll);
    } else {
      return false;
    }
  }
}

std::vector<ServerAction> TestHttpServer::Record(const std::string& request) {
  const std::lock_guard lock(mutex_);
  requests_.push_back(request);
  const auto script = scripts_.find(PathOf(request));
  if (script != scripts_.end()) return script->second;
  return {ServerAction::Send("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n"),
          ServerAction::Close()};
}

bool TestHttpServer::Perform(TcpSocket& connection, const ServerAction& action) {
  switch (action.kind) {
    case ServerAction::Kind::kSend:
      return SendAll(connection, action.bytes);
    case ServerAction::Kind::kClose:
      connection.Close();
      return false;
    case ServerAction::Kind::kReset:
      connection.Abort();
      return false;
    case ServerAction::Kind::kStall: {
      std::unique_lock lock(mutex_);
      return !stopped_.wait_for(lock, action.duration, [this] { return stopping_; });
    }
    case ServerAction::Kind::kCall:
      action.call();
      return true;
  }
  return false;
}

bool TestHttpServer::SendAll(TcpSocket& connection, std::string_view bytes) const {
  while (!bytes.empty() && !Stopping()) {
    const platform::net::IoResult result = connection.Send(bytes);
    if (result.status == IoStatus::kDone) {
      bytes.remove_prefix(result.size);
    } else if (result.status == IoStatus::kWouldBlock) {
      platform::net::WaitForSocket(connection.handle(), true, kPoll);
    } else {
      return false;
    }
  }
  return bytes.empty();
}

std::uint16_t RefusingLoopbackPort() {
  TcpSocket socket = TcpSocket::Open();
  if (!socket || !socket.Listen({platform::net::kLoopbackAddress, 0}, 1)) {
    throw std::runtime_error("no loopback port to bind");
  }
  return socket.LocalPort();
}

}  // namespace testing_support
