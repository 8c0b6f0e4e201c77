// The addresses the HTTP client fetches: an absolute "http" address taken
// apart, and a relocation target resolved against the address that answered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/http_client.h"

namespace platform::http {

inline constexpr std::uint16_t kDefaultPort = 80;

struct Url {
  std::string host;  // as written; compared without regard to case
  std::uint16_t port = kDefaultPort;
  // From the first "/" after host[:port] on, query included; "/" when the
  // address has none. Never a fragment: that is not the server's business.
  std::string path;
};

struct ParsedUrl {
  Failure failure = Failure::kNone;  // kBadAddress or kUnsupportedScheme
  Url url;
};

// Reads "http://host[:port][/path][?query][#fragment]", the scheme in any
// case. Rejects a user part, a bracketed host, a port that is not 1 to
// 65535, and any control character or space (they would break the request
// line, or smuggle header lines into it).
ParsedUrl ParseUrl(std::string_view text);

// "host" on the default port, else "host:port": the Host line's value.
std::string Authority(const Url& url);

// The absolute address that `reference` (a Location value: absolute, or
// "//host/x", "/x", "x", "../x", "?q") names when seen from `base`, by the
// rules of RFC 3986, section 5.2. Absolute references come back as they are,
// less a fragment, for ParseUrl to judge.
std::string ResolveReference(const Url& base, std::string_view reference);

}  // namespace platform::http
