// The portable half of the reachability test: what a host text means, which
// name's address is kept, and what the requests carry. The echo itself is
// the platform's (win32/icmp_echo.cpp, posix/icmp_echo.cpp).
#include "platform/icmp_echo.h"

#include <algorithm>
#include <string_view>

#include "platform/icmp_echo_payload.h"
#include "platform/ipv4_lookup.h"

namespace platform {

namespace {

// The largest that fits one IPv4 datagram with its IP and ICMP headers.
constexpr int kMaxPayloadBytes = 65'507;
constexpr std::string_view kPayloadText = "Kelvane update: is this mirror reachable?";

}  // namespace

std::string EchoPayload(int bytes) {
  std::string payload(static_cast<std::size_t>(std::clamp(bytes, 0, kMaxPayloadBytes)), ' ');
  kPayloadText.copy(payload.data(), std::min(payload.size(), kPayloadText.size()));
  return payload;
}

// The other constructor and the destructor are the platform's: only there is
// the facility a complete type.
IcmpEcho::IcmpEcho(EchoSettings settings) : IcmpEcho(settings, LookUpIpv4) {}

int IcmpEcho::Ping(const std::string& host) {
  if (const std::optional<Ipv4Address> address = ParseDottedIpv4(host)) {
    resolved_name_.clear();
    return SendEcho(*address);
  }
  if (host.empty()) return 0;
  if (host != resolved_name_) {
    resolved_name_.clear();
    const std::optional<Ipv4Address> looked_up = look_up_(host);
    if (!looked_up) return 0;
    resolved_name_ = host;
    resolved_address_ = *looked_up;
  }
  return SendEcho(resolved_address_);
}

}  // namespace platform
