// The strict reading of a dotted IPv4 address.
#include "platform/ipv4_address.h"

#include <cstddef>

namespace platform {

namespace {

constexpr std::size_t kMaxPartDigits = 3;
constexpr int kMaxPartValue = 255;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<Ipv4Address> ParseDottedIpv4(std::string_view text) {
  Ipv4Address address;
  std::size_t at = 0;
  for (std::size_t part = 0; part < address.octets.size(); ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') return std::nullopt;
      ++at;
    }
    const std::size_t first = at;
    int value = 0;
    while (at < text.size() && IsDigit(text[at]) && at - first < kMaxPartDigits) {
      value = value * 10 + (text[at] - '0');
      ++at;
    }
    const std::size_t digits = at - first;
    if (digits == 0 || value > kMaxPartValue) return std::nullopt;
    if (digits > 1 && text[first] == '0') return std::nullopt;
    address.octets[part] = static_cast<std::uint8_t>(value);
  }
  // Also refuses a fourth digit in a part: the loop above stopped before it.
  if (at != text.size()) return std::nullopt;
  return address;
}

}  // namespace platform
