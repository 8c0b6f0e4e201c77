// The waiting side of a fetch: connecting within the connect bound, sending
// and receiving within the idle bound, every wait a pass of the caller's
// Waiter no longer than the wait slice.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/http_client.h"
#include "platform/tcp_socket.h"

namespace platform::http {

class Transport {
 public:
  Transport(Waiter& waiter, const Limits& limits) : waiter_(waiter), limits_(limits) {}

  // Resolves `host` and connects `socket` to it: kNone, kResolveFailed,
  // kConnectFailed, kConnectTimedOut or kTerminated. The look-up itself is
  // the system's, and may block.
  Failure Connect(const std::string& host, std::uint16_t port, net::TcpSocket& socket);

  // All of `bytes`: kNone, kConnectFailed (the connection broke), kStalled
  // (not all sent within the idle bound) or kTerminated.
  Failure Send(net::TcpSocket& socket, std::string_view bytes);

  struct Received {
    Failure failure = Failure::kNone;  // kStalled or kTerminated
    // Bytes now in the buffer; 0 when the connection ended, in order or by
    // a reset: which one is no concern of a caller that reads to the end.
    std::size_t size = 0;
  };
  Received Receive(net::TcpSocket& socket, char* buffer, std::size_t size);

 private:
  using Clock = std::chrono::steady_clock;
  // kNone when the socket became ready before `deadline`, else `on_timeout`
  // or kTerminated.
  Failure WaitUntil(const net::TcpSocket& socket, bool for_writing, Clock::time_point deadline,
                    Failure on_timeout);

  Waiter& waiter_;
  const Limits& limits_;
};

}  // namespace platform::http
