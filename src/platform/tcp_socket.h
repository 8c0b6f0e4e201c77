// The TCP layer under the HTTP client and the tests' server: a move-only
// owner of a non-blocking IPv4 stream socket, the calls made on it, the wait
// for it, and the resolution of host names. One implementation serves
// Winsock and BSD sockets.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ipv4_address.h"

namespace platform::net {

// A socket as the Waiter sees it: a SOCKET on Windows, a descriptor elsewhere.
using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

inline constexpr Ipv4Address kLoopbackAddress{{127, 0, 0, 1}};

struct Ipv4Endpoint {
  Ipv4Address address;
  std::uint16_t port = 0;
};

// Names that no resolver is asked about (RFC 6761), so that they never
// lead to a query off this machine: "localhost" and the names under it are
// the loopback address, "invalid" and the names under it are no address.
// Either may end in one dot, and case does not count.
enum class ReservedName { kNone, kLoopback, kInvalid };
ReservedName ClassifyReservedName(std::string_view host);

// The first IPv4 address of `host`: a reserved name's, a dotted address as
// it is, or else the system resolver's answer (which may block).
std::optional<Ipv4Address> ResolveIpv4(const std::string& host);

enum class ConnectState { kConnected, kPending, kFailed };

enum class IoStatus {
  kDone,        // `size` bytes went or came
  kWouldBlock,  // nothing now: wait for the socket
  kClosed,      // the peer ended the connection in order (receiving only)
  kFailed,      // reset, or any other error
};

struct IoResult {
  IoStatus status = IoStatus::kFailed;
  std::size_t size = 0;
};

class TcpSocket {
 public:
  TcpSocket() = default;
  // A new non-blocking socket; an empty one when the system gives none.
  static TcpSocket Open();

  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  ~TcpSocket();

  explicit operator bool() const { return handle_ != kNoSocket; }
  SocketHandle handle() const { return handle_; }

  ConnectState StartConnect(Ipv4Endpoint peer);
  // Where a pending connect stands once a wait said the socket is ready: a
  // wait may say so early, and then it is still pending.
  ConnectState CheckConnect() const;

  IoResult Send(std::string_view bytes);
  IoResult Receive(char* buffer, std::size_t size);

  // For the tests' server. `backlog`: connections the system completes
  // before they are accepted; beyond that it leaves new ones unanswered.
  bool Listen(Ipv4Endpoint local, int backlog);
  std::uint16_t LocalPort() const;
  // The next completed connection, non-blocking; an empty socket when none.
  TcpSocket Accept() const;

  // Ends the connection in order; the socket is empty afterwards.
  void Close();
  // Ends it so that the peer sees a reset, not an orderly end.
  void Abort();

 private:
  explicit TcpSocket(SocketHandle handle) : handle_(handle) {}
  SocketHandle handle_ = kNoSocket;
};

// Waits at most `at_most` for `socket` to become readable, or writable (or
// failed connecting) when `for_writing`; true when it did. A failed wait
// counts as ready: the call that follows on the socket reports the error.
bool WaitForSocket(SocketHandle socket, bool for_writing, std::chrono::milliseconds at_most);

}  // namespace platform::net
