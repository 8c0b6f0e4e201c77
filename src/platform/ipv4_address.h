// An IPv4 address as its four parts, and the strict reading of the dotted
// form that tells an address from a host name.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

struct Ipv4Address {
  // In the order they are written and sent: 127.0.0.1 is {127, 0, 0, 1}.
  std::array<std::uint8_t, 4> octets{};

  friend bool operator==(const Ipv4Address&, const Ipv4Address&) = default;
};

// Exactly four decimal parts 0-255 separated by dots, nothing before, after or
// between them. A part with a leading zero ("010") is refused: the system's
// readers take it as octal, so it is no plain address either. What is
// refused here is a host name, to be looked up.
std::optional<Ipv4Address> ParseDottedIpv4(std::string_view text);

}  // namespace platform
