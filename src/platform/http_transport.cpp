// The fetch's waits, each measured on the steady clock: a Waiter that comes
// back early or late changes how often it is asked, not when a bound ends.
#include "platform/http_transport.h"

#include <algorithm>

namespace platform::http {

Failure Transport::Connect(const std::string& host, std::uint16_t port, net::TcpSocket& socket) {
  const std::optional<Ipv4Address> address = net::ResolveIpv4(host);
  if (!address) return Failure::kResolveFailed;
  socket = net::TcpSocket::Open();
  if (!socket) return Failure::kConnectFailed;
  const Clock::time_point deadline = Clock::now() + limits_.connect_timeout;
  net::ConnectState state = socket.StartConnect({*address, port});
  while (state == net::ConnectState::kPending) {
    const Failure failure = WaitUntil(socket, true, deadline, Failure::kConnectTimedOut);
    if (failure != Failure::kNone) return failure;
    state = socket.CheckConnect();
  }
  return state == net::ConnectState::kConnected ? Failure::kNone : Failure::kConnectFailed;
}

Failure Transport::Send(net::TcpSocket& socket, std::string_view bytes) {
  // A request is a few hundred bytes, which any socket takes at once: one
  // deadline for all of it.
  const Clock::time_point deadline = Clock::now() + limits_.idle_timeout;
  while (!bytes.empty()) {
    const net::IoResult sent = socket.Send(bytes);
    if (sent.status == net::IoStatus::kDone) {
      bytes.remove_prefix(sent.size);
    } else if (sent.status == net::IoStatus::kWouldBlock) {
      const Failure failure = WaitUntil(socket, true, deadline, Failure::kStalled);
      if (failure != Failure::kNone) return failure;
    } else {
      return Failure::kConnectFailed;
    }
  }
  return Failure::kNone;
}

Transport::Received Transport::Receive(net::TcpSocket& socket, char* buffer, std::size_t size) {
  const Clock::time_point deadline = Clock::now() + limits_.idle_timeout;
  for (;;) {
    const net::IoResult received = socket.Receive(buffer, size);
    if (received.status == net::IoStatus::kDone) return {Failure::kNone, received.size};
    if (received.status != net::IoStatus::kWouldBlock) return {Failure::kNone, 0};
    const Failure failure = WaitUntil(socket, false, deadline, Failure::kStalled);
    if (failure != Failure::kNone) return {failure, 0};
  }
}

Failure Transport::WaitUntil(const net::TcpSocket& socket, bool for_writing,
                             Clock::time_point deadline, Failure on_timeout) {
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return on_timeout;
    // Rounded up, so that a pass never ends just short of the deadline.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    switch (
        waiter_.WaitForSocket(socket.handle(), for_writing, std::min(limits_.wait_slice, left))) {
      case Waiter::Outcome::kReady:
        return Failure::kNone;
      case Waiter::Outcome::kTerminated:
        return Failure::kTerminated;
      case Waiter::Outcome::kTimedOut:
        break;
    }
  }
}

}  // namespace platform::http
