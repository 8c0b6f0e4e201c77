// One ICMP socket and the echo exchange over it. A datagram ("ping") socket
// needs no privilege where net.ipv4.ping_group_range admits the process's
// group, and the kernel then owns the identifier and hands over only the
// replies to it; a raw socket needs CAP_NET_RAW and sees every ICMP packet
// of the host, the outgoing requests on loopback among them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/icmp_echo.h"
#include "platform/ipv4_address.h"
#include "platform/posix/unique_fd.h"

namespace platform::posix {

enum class IcmpSocketKind { kDatagram, kRaw };

class IcmpSocket {
 public:
  // A socket of that kind, or none when the system refuses it.
  explicit IcmpSocket(IcmpSocketKind kind);

  explicit operator bool() const { return static_cast<bool>(fd_); }

  // Sends one echo request to `to` and waits up to the timeout for its
  // reply: 1 when it came, 0 otherwise, also without a socket.
  int Echo(const Ipv4Address& to, const EchoSettings& settings);

 private:
  // Whether `packet`, as received from the host we sent to, is the reply to
  // the latest request.
  bool IsOurReply(const unsigned char* packet, std::size_t size) const;

  UniqueFd fd_;
  IcmpSocketKind kind_;
  // Ours on a raw socket; the kernel puts its own in on a datagram socket.
  std::uint16_t identifier_;
  // A new one for each request, so that a late reply to an earlier request
  // is not taken for the reply to this one.
  std::uint16_t sequence_ = 0;
};

// The datagram kind where the system allows it, else the raw kind.
IcmpSocket OpenIcmpSocket();

}  // namespace platform::posix
