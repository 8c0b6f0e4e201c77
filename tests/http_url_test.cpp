// Addresses and the request built from them, without the network: how an
// address is taken apart, how relocation targets resolve, and the request
// bytes for the default port, which no test server can listen on.
#include "platform/http_url.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/http_request.h"

namespace platform::http {
namespace {

struct UrlCase {
  const char* text;
  Failure failure;
  const char* host;
  std::uint16_t port;
  const char* path;
};

TEST(HttpUrl, TakesAddressesApart) {
  const UrlCase cases[] = {
      {"http://127.0.0.1/x", Failure::kNone, "127.0.0.1", 80, "/x"},
      {"http://mirror.example", Failure::kNone, "mirror.example", 80, "/"},
      {"HTTP://Mirror.Example:8080/a/b?c=d&e=", Failure::kNone, "Mirror.Example", 8080,
       "/a/b?c=d&e="},
      {"http://host?q=1", Failure::kNone, "host", 80, "/?q=1"},
      {"http://host/a?q#frag", Failure::kNone, "host", 80, "/a?q"},
      {"http://host:/a", Failure::kNone, "host", 80, "/a"},
      {"http://host:80/a", Failure::kNone, "host", 80, "/a"},
      {"http://host:65535/", Failure::kNone, "host", 65535, "/"},
      {"ftp://host/x", Failure::kUnsupportedScheme, "", 0, ""},
      {"https://host/", Failure::kUnsupportedScheme, "", 0, ""},
      {"HttpS://host/", Failure::kUnsupportedScheme, "", 0, ""},
      {"", Failure::kBadAddress, "", 0, ""},
      {"host/x", Failure::kBadAddress, "", 0, ""},
      {"localhost:8080/x", Failure::kBadAddress, "", 0, ""},
      {"http:/host/x", Failure::kBadAddress, "", 0, ""},
      {"://host/", Failure::kBadAddress, "", 0, ""},
      {"1http://host/", Failure::kBadAddress, "", 0, ""},
      {"http:///x", Failure::kBadAddress, "", 0, ""},
      {"http://:8080/x", Failure::kBadAddress, "", 0, ""},
      {"http://host:0/", Failure::kBadAddress, "", 0, ""},
      {"http://host:65536/", Failure::kBadAddress, "", 0, ""},
      {"http://host:000080/", Failure::kBadAddress, "", 0, ""},
      {"http://host:8o/", Failure::kBadAddress, "", 0, ""},
      {"http://host:80:90/", Failure::kBadAddress, "", 0, ""},
      {"http://user@host/", Failure::kBadAddress, "", 0, ""},
      {"http://[::1]/", Failure::kBadAddress, "", 0, ""},
      {"http://host/a b", Failure::kBadAddress, "", 0, ""},
      {"http://host/a\r\nX-Injected: 1", Failure::kBadAddress, "", 0, ""},
      {"http://host/a\x7F", Failure::kBadAddress, "", 0, ""},
      // A base with its port and a path without its "/", run together.
      {"http://127.0.0.1:8080update.xml", Failure::kBadAddress, "", 0, ""},
  };
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.text);
    const ParsedUrl parsed = ParseUrl(c.text);
    EXPECT_EQ(parsed.failure, c.failure);
    if (c.failure != Failure::kNone) continue;
    EXPECT_EQ(parsed.url.host, c.host);
    EXPECT_EQ(parsed.url.port, c.port);
    EXPECT_EQ(parsed.url.path, c.path);
  }
}

// RFC 3986, section 5.4, with its base "http://a/b/c/d;p?q"; fragments are
// dropped, since they never reach a server.
TEST(HttpUrl, ResolvesRelocationTargets) {
  const Url base = ParseUrl("http://a/b/c/d;p?q").url;
  const Url base_with_port = ParseUrl("http://a:8080/b/c").url;
  const struct {
    const Url& base;
    const char* reference;
    const char* resolved;
  } cases[] = {
      {base, "g:h", "g:h"},
      {base, "https://other/x#f", "https://other/x"},
      {base, "g", "http://a/b/c/g"},
      {base, "./g", "http://a/b/c/g"},
      {base, "g/", "http://a/b/c/g/"},
      {base, "/g", "http://a/g"},
      {base, "//g", "http://g"},
      {base, "//g:81/x?y", "http://g:81/x?y"},
      {base, "?y", "http://a/b/c/d;p?y"},
      {base, "g?y", "http://a/b/c/g?y"},
      {base, "#s", "http://a/b/c/d;p?q"},
      {base, "g#s", "http://a/b/c/g"},
      {base, "", "http://a/b/c/d;p?q"},
      {base, ".", "http://a/b/c/"},
      {base, "./", "http://a/b/c/"},
      {base, "..", "http://a/b/"},
      {base, "../", "http://a/b/"},
      {base, "../g", "http://a/b/g"},
      {base, "../..", "http://a/"},
      {base, "../../g", "http://a/g"},
      {base, "../../../g", "http://a/g"},
      {base, "../../../../g", "http://a/g"},
      {base, "/./g", "http://a/g"},
      {base, "/../g", "http://a/g"},
      {base, "g.", "http://a/b/c/g."},
      {base, ".g", "http://a/b/c/.g"},
      {base, "g..", "http://a/b/c/g.."},
      {base, "..g", "http://a/b/c/..g"},
      {base, "./../g", "http://a/b/g"},
      {base, "./g/.", "http://a/b/c/g/"},
      {base, "g/./h", "http://a/b/c/g/h"},
      {base, "g/../h", "http://a/b/c/h"},
      {base, "g;x=1/./y", "http://a/b/c/g;x=1/y"},
      {base, "g;x=1/../y", "http://a/b/c/y"},
      {base, "g?y/./x", "http://a/b/c/g?y/./x"},
      {base_with_port, "/x", "http://a:8080/x"},
      {base_with_port, "x", "http://a:8080/b/x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reference);
    EXPECT_EQ(ResolveReference(c.base, c.reference), c.resolved);
  }
}

TEST(HttpRequest, CarriesThePathAndTheHostLineAndNothingElse) {
  const struct {
    const char* url;
    const char* request_line;
    const char* host_line;
  } cases[] = {
      {"http://mirror.example", "GET / HTTP/1.0", "Host: mirror.example"},
      {"http://mirror.example:80/a/b.xml", "GET /a/b.xml HTTP/1.0", "Host: mirror.example"},
      {"http://mirror.example:8080/a?b=c&d", "GET /a?b=c&d HTTP/1.0", "Host: mirror.example:8080"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(BuildRequest(ParseUrl(c.url).url),
              std::string(c.request_line) +
                  "\r\n"
                  "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
                  "User-Agent: Mozilla/4.0 (compatible; ICS)\r\n" +
                  c.host_line + "\r\n\r\n");
  }
}

}  // namespace
}  // namespace platform::http
