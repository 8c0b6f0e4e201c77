// The echo exchange over an ICMP socket: the request's wire form, the wait
// for the reply, and the filter that lets only that reply count.
#include "platform/posix/icmp_socket.h"

#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/icmp_echo_payload.h"

namespace platform::posix {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kIcmpHeaderBytes = 8;
// An IPv4 header with every option; a raw socket delivers it before the ICMP
// message.
constexpr std::size_t kMaxIpHeaderBytes = 60;

void PutUint16(unsigned char* at, std::uint16_t value) {
  at[0] = static_cast<unsigned char>(value >> 8);
  at[1] = static_cast<unsigned char>(value & 0xFF);
}

std::uint16_t GetUint16(const unsigned char* at) {
  return static_cast<std::uint16_t>((at[0] << 8) | at[1]);
}

// The Internet checksum (RFC 1071) over the whole message, in network order.
std::uint16_t Checksum(const std::vector<unsigned char>& message) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < message.size(); i += 2) {
    const unsigned high = message[i];
    const unsigned low = i + 1 < message.size() ? message[i + 1] : 0;
    sum += (high << 8) | low;
  }
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

std::vector<unsigned char> EchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                                       const std::string& payload) {
  std::vector<unsigned char> message(kIcmpHeaderBytes + payload.size());
  message[0] = ICMP_ECHO;
  message[1] = 0;
  PutUint16(&message[4], identifier);
  PutUint16(&message[6], sequence);
  std::memcpy(message.data() + kIcmpHeaderBytes, payload.data(), payload.size());
  PutUint16(&message[2], Checksum(message));
  return message;
}

int OpenSocket(IcmpSocketKind kind) {
  const int type = kind == IcmpSocketKind::kDatagram ? SOCK_DGRAM : SOCK_RAW;
  return ::socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
}

std::uint16_t RandomIdentifier() {
  std::random_device source;
  return static_cast<std::uint16_t>(source() & 0xFFFF);
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 1 << 30));
}

}  // namespace

IcmpSocket::IcmpSocket(IcmpSocketKind kind)
    : fd_(OpenSocket(kind)), kind_(kind), identifier_(RandomIdentifier()) {}

int IcmpSocket::Echo(const Ipv4Address& to, const EchoSettings& settings) {
  if (!fd_) return 0;
  const int ttl = std::clamp(settings.time_to_live, 1, 255);
  if (::setsockopt(fd_.get(), IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) != 0) return 0;

  ++sequence_;
  const std::vector<unsigned char> request =
      EchoRequest(identifier_, sequence_, EchoPayload(settings.data_bytes));
  sockaddr_in destination{};
  destination.sin_family = AF_INET;
  std::memcpy(&destination.sin_addr, to.octets.data(), to.octets.size());
  if (::sendto(fd_.get(), request.data(), request.size(), 0,
               reinterpret_cast<const sockaddr*>(&destination), sizeof destination) < 0) {
    return 0;
  }

  const Clock::time_point deadline = Clock::now() + settings.timeout;
  std::vector<unsigned char> packet(kMaxIpHeaderBytes + request.size());
  for (;;) {
    // Taken before the wait, so that a stream of other packets cannot hold
    // the loop past the deadline.
    const int left = MillisecondsLeft(deadline);
    pollfd waiting{fd_.get(), POLLIN, 0};
    const int ready = ::poll(&waiting, 1, left);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return 0;

    sockaddr_in from{};
    socklen_t from_size = sizeof from;
    const ssize_t received = ::recvfrom(fd_.get(), packet.data(), packet.size(), MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr*>(&from), &from_size);
    if (received < 0 && errno != EINTR && errno != EAGAIN) {
      // An ICMP error for the request (unreachable, TTL exceeded): no reply.
      return 0;
    }
    const bool from_target = std::memcmp(&from.sin_addr, to.octets.data(), to.octets.size()) == 0;
    if (received > 0 && from_target &&
        IsOurReply(packet.data(), static_cast<std::size_t>(received))) {
      return 1;
    }
    if (left == 0) return 0;
  }
}

bool IcmpSocket::IsOurReply(const unsigned char* packet, std::size_t size) const {
  const std::size_t at =
      kind_ == IcmpSocketKind::kRaw ? static_cast<std::size_t>(packet[0] & 0x0F) * 4 : 0;
  if (size < at + kIcmpHeaderBytes) return false;
  const unsigned char* icmp = packet + at;
  // On a raw socket the request itself comes by on loopback: only an echo
  // reply counts, and only to our identifier.
  const bool ours = kind_ == IcmpSocketKind::kDatagram || GetUint16(icmp + 4) == identifier_;
  return icmp[0] == ICMP_ECHOREPLY && ours && GetUint16(icmp + 6) == sequence_;
}

IcmpSocket OpenIcmpSocket() {
  IcmpSocket datagram(IcmpSocketKind::kDatagram);
  if (datagram) return datagram;
  return IcmpSocket(IcmpSocketKind::kRaw);
}

}  // namespace platform::posix
