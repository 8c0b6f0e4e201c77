// The socket layer, written once against the small per-platform shim.
#include "platform/tcp_socket.h"

#include "platform/ascii_text.h"
#include "platform/ipv4_lookup.h"

#ifdef _WIN32
#include "platform/win32/socket_api.h"
#else
#include "platform/posix/socket_api.h"
#endif

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace platform::net {
namespace {

native::Socket Native(SocketHandle handle) { return native::FromHandle(handle); }

// `name` is `domain` or a name inside it; one final dot is allowed.
bool IsUnder(std::string_view name, std::string_view domain) {
  if (!name.empty() && name.back() == '.') name.remove_suffix(1);
  if (name.size() == domain.size()) return EqualsIgnoringCase(name, domain);
  return name.size() > domain.size() && name[name.size() - domain.size() - 1] == '.' &&
         EqualsIgnoringCase(name.substr(name.size() - domain.size()), domain);
}

sockaddr_in ToSockaddr(Ipv4Endpoint endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(endpoint.port);
  static_assert(sizeof address.sin_addr == sizeof endpoint.address.octets);
  std::memcpy(&address.sin_addr, endpoint.address.octets.data(), sizeof address.sin_addr);
  return address;
}

constexpr native::AddressLength kSockaddrLength = sizeof(sockaddr_in);

IoResult FromTransferred(std::ptrdiff_t transferred, IoStatus on_zero) {
  if (transferred > 0) return {IoStatus::kDone, static_cast<std::size_t>(transferred)};
  if (transferred == 0) return {on_zero, 0};
  return {native::IsWouldBlock(native::LastError()) ? IoStatus::kWouldBlock : IoStatus::kFailed, 0};
}

}  // namespace

ReservedName ClassifyReservedName(std::string_view host) {
  if (IsUnder(host, "localhost")) return ReservedName::kLoopback;
  if (IsUnder(host, "invalid")) return ReservedName::kInvalid;
  return ReservedName::kNone;
}

std::optional<Ipv4Address> ResolveIpv4(const std::string& host) {
  switch (ClassifyReservedName(host)) {
    case ReservedName::kLoopback:
      return kLoopbackAddress;
    case ReservedName::kInvalid:
      return std::nullopt;
    case ReservedName::kNone:
      break;
  }
  native::StartSockets();
  return LookUpIpv4(host);
}

TcpSocket TcpSocket::Open() {
  native::StartSockets();
  const native::Socket opened = native::OpenStreamSocket();
  if (opened == native::kInvalidSocket) return {};
  TcpSocket socket(native::ToHandle(opened));
  if (!native::SetNonBlocking(opened)) return {};
  return socket;
}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoSocket)) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNoSocket);
  }
  return *this;
}

TcpSocket::~TcpSocket() { Close(); }

ConnectState TcpSocket::StartConnect(Ipv4Endpoint peer) {
  const sockaddr_in address = ToSockaddr(peer);
  if (::connect(Native(handle_), reinterpret_cast<const sockaddr*>(&address), kSockaddrLength) ==
      0) {
    return ConnectState::kConnected;
  }
  return native::IsConnectPending(native::LastError()) ? ConnectState::kPending
                                                       : ConnectState::kFailed;
}

ConnectState TcpSocket::CheckConnect() const {
  int error = 0;
  if (native::GetIntOption(Native(handle_), SOL_SOCKET, SO_ERROR, error) != 0 || error != 0) {
    return ConnectState::kFailed;
  }
  sockaddr_in peer{};
  native::AddressLength length = kSockaddrLength;
  if (::getpeername(Native(handle_), reinterpret_cast<sockaddr*>(&peer), &length) == 0) {
    return ConnectState::kConnected;
  }
  return native::IsNotConnected(native::LastError()) ? ConnectState::kPending
                                                     : ConnectState::kFailed;
}

IoResult TcpSocket::Send(std::string_view bytes) {
  IoResult result;
  do {
    result = FromTransferred(native::SendSome(Native(handle_), bytes.data(), bytes.size()),
                             IoStatus::kDone);
  } while (result.status == IoStatus::kFailed && native::IsInterrupted(native::LastError()));
  return result;
}

IoResult TcpSocket::Receive(char* buffer, std::size_t size) {
  IoResult result;
  do {
    result = FromTransferred(native::ReceiveSome(Native(handle_), buffer, size), IoStatus::kClosed);
  } while (result.status == IoStatus::kFailed && native::IsInterrupted(native::LastError()));
  return result;
}

bool TcpSocket::Listen(Ipv4Endpoint local, int backlog) {
  const sockaddr_in address = ToSockaddr(local);
  return ::bind(Native(handle_), reinterpret_cast<const sockaddr*>(&address), kSockaddrLength) ==
             0 &&
         ::listen(Native(handle_), backlog) == 0;
}

std::uint16_t TcpSocket::LocalPort() const {
  sockaddr_in address{};
  native::AddressLength length = kSockaddrLength;
  if (::getsockname(Native(handle_), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

TcpSocket TcpSocket::Accept() const {
  const native::Socket accepted = native::AcceptConnection(Native(handle_));
  if (accepted == native::kInvalidSocket) return {};
  TcpSocket socket(native::ToHandle(accepted));
  if (!native::SetNonBlocking(accepted)) return {};
  return socket;
}

void TcpSocket::Close() {
  if (handle_ != kNoSocket) native::CloseSocket(Native(std::exchange(handle_, kNoSocket)));
}

void TcpSocket::Abort() {
  if (handle_ == kNoSocket) return;
  linger abortive{};
  abortive.l_onoff = 1;
  abortive.l_linger = 0;
  native::SetLinger(Native(handle_), abortive);
  Close();
}

bool WaitForSocket(SocketHandle socket, bool for_writing, std::chrono::milliseconds at_most) {
  const auto timeout_ms = std::clamp<std::chrono::milliseconds::rep>(at_most.count(), 0, INT_MAX);
  return native::WaitOne(Native(socket), for_writing, static_cast<int>(timeout_ms)) != 0;
}

}  // namespace platform::net
