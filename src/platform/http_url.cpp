// Taking addresses apart and resolving relative ones.
#include "platform/http_url.h"

#include <algorithm>
#include <cctype>

#include "platform/ascii_text.h"

namespace platform::http {
namespace {

constexpr std::string_view kSchemeSeparator = "://";

bool IsSchemeCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

// The scheme of `text` ("" when it has none): letters first, up to a ":"
// that comes before any "/", "?" or "#".
std::string_view SchemeOf(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 ||
      !std::isalpha(static_cast<unsigned char>(text[0]))) {
    return {};
  }
  const std::string_view scheme = text.substr(0, colon);
  return std::all_of(scheme.begin(), scheme.end(), IsSchemeCharacter) ? scheme : std::string_view{};
}

std::string_view WithoutFragment(std::string_view text) { return text.substr(0, text.find('#')); }

bool ParsePort(std::string_view digits, std::uint16_t& port) {
  if (digits.empty()) return true;  // "host:" is the default port
  // Five digits at most: the value below cannot overflow.
  if (digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), IsAsciiDigit)) {
    return false;
  }
  int value = 0;
  for (const char digit : digits) value = value * 10 + (digit - '0');
  if (value < 1 || value > 65535) return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

// RFC 3986, section 5.2.4: the path with its "." and ".." segments applied.
std::string RemoveDotSegments(std::string_view input) {
  std::string output;
  const auto drop_last_segment = [&output] {
    const std::size_t slash = output.rfind('/');
    output.erase(slash == std::string::npos ? 0 : slash);
  };
  while (!input.empty()) {
    if (input.substr(0, 3) == "../") {
      input.remove_prefix(3);
    } else if (input.substr(0, 2) == "./" || input.substr(0, 3) == "/./") {
      input.remove_prefix(2);
    } else if (input == "/.") {
      input = "/";
    } else if (input.substr(0, 4) == "/../") {
      input.remove_prefix(3);
      drop_last_segment();
    } else if (input == "/..") {
      input = "/";
      drop_last_segment();
    } else if (input == "." || input == "..") {
      input = {};
    } else {
      const std::size_t end = input.find('/', 1);
      const std::size_t length = end == std::string_view::npos ? input.size() : end;
      output.append(input.substr(0, length));
      input.remove_prefix(length);
    }
  }
  return output;
}

}  // namespace

ParsedUrl ParseUrl(std::string_view text) {
  ParsedUrl parsed;
  parsed.failure = Failure::kBadAddress;
  if (std::any_of(text.begin(), text.end(),
                  [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7F'; })) {
    return parsed;
  }
  const std::size_t separator = text.find(kSchemeSeparator);
  if (separator == std::string_view::npos) return parsed;
  const std::string_view scheme = text.substr(0, separator);
  if (scheme.empty() || SchemeOf(text) != scheme) return parsed;
  if (!EqualsIgnoringCase(scheme, "http")) {
    parsed.failure = Failure::kUnsupportedScheme;
    return parsed;
  }

  const std::string_view rest = WithoutFragment(text.substr(separator + kSchemeSeparator.size()));
  const std::size_t path_start = std::min(rest.find_first_of("/?"), rest.size());
  const std::string_view authority = rest.substr(0, path_start);
  if (authority.find_first_of("@[]") != std::string_view::npos) return parsed;
  const std::size_t colon = authority.find(':');
  Url& url = parsed.url;
  url.host = authority.substr(0, colon);
  if (url.host.empty()) return parsed;
  if (colon != std::string_view::npos && !ParsePort(authority.substr(colon + 1), url.port)) {
    return parsed;
  }
  const std::string_view path = rest.substr(path_start);
  url.path = path.empty() || path.front() != '/' ? "/" + std::string(path) : std::string(path);
  parsed.failure = Failure::kNone;
  return parsed;
}

std::string Authority(const Url& url) {
  if (url.port == kDefaultPort) return url.host;
  return url.host + ":" + std::to_string(url.port);
}

std::string ResolveReference(const Url& base, std::string_view reference) {
  reference = WithoutFragment(reference);
  if (!SchemeOf(reference).empty()) return std::string(reference);
  if (reference.substr(0, 2) == "//") return "http:" + std::string(reference);

  const std::string_view base_path_and_query = base.path;
  const std::size_t base_query_start =
      std::min(base_path_and_query.find('?'), base_path_and_query.size());
  const std::string_view base_path = base_path_and_query.substr(0, base_query_start);
  const std::string_view base_query = base_path_and_query.substr(base_query_start);

  const std::size_t query_start = std::min(reference.find('?'), reference.size());
  const std::string_view path = reference.substr(0, query_start);
  const std::string_view query = reference.substr(query_start);

  std::string target = "http://" + Authority(base);
  if (path.empty()) {
    target.append(base_path);
    target.append(query_start < reference.size() ? query : base_query);
    return target;
  }
  if (path.front() == '/') {
    target += RemoveDotSegments(path);
  } else {
    // The base path always begins with "/", so it has a last "/" to merge at.
    std::string merged(base_path.substr(0, base_path.rfind('/') + 1));
    merged.append(path);
    target += RemoveDotSegments(merged);
  }
  target.append(query);
  return target;
}

}  // namespace platform::http
