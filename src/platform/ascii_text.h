// Case-blind comparison of the ASCII words of network protocols: schemes,
// header names and tokens, host names. Never locale-dependent.
#pragma once

#include <algorithm>
#include <string_view>

namespace platform {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace platform
