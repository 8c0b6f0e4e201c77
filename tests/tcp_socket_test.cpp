// The names the socket layer answers itself, so that no test and no
// mistyped mirror sends a query off the machine for them.
#include "platform/tcp_socket.h"

#include <gtest/gtest.h>

namespace platform::net {
namespace {

TEST(TcpSocket, AnswersReservedNamesItself) {
  const struct {
    const char* host;
    ReservedName reserved;
  } cases[] = {
      {"localhost", ReservedName::kLoopback},
      {"LocalHost.", ReservedName::kLoopback},
      {"mirror.localhost", ReservedName::kLoopback},
      {"a.b.LOCALHOST", ReservedName::kLoopback},
      {"invalid", ReservedName::kInvalid},
      {"nothing.invalid", ReservedName::kInvalid},
      {"127.0.0.1mirror.INVALID.", ReservedName::kInvalid},
      {"mylocalhost", ReservedName::kNone},
      {"localhost.example", ReservedName::kNone},
      {"notinvalid", ReservedName::kNone},
      {"invalid.example", ReservedName::kNone},
      {".", ReservedName::kNone},
      {"", ReservedName::kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.host);
    EXPECT_EQ(ClassifyReservedName(c.host), c.reserved);
  }
}

TEST(TcpSocket, ResolvesWithoutAskingForReservedNamesAndDottedAddresses) {
  EXPECT_EQ(ResolveIpv4("mirror.localhost"), kLoopbackAddress);
  EXPECT_EQ(ResolveIpv4("127.0.0.1"), kLoopbackAddress);
  EXPECT_EQ(ResolveIpv4("127.1.2.3"), (Ipv4Address{{127, 1, 2, 3}}));
  EXPECT_EQ(ResolveIpv4("nothing.invalid"), std::nullopt);
}

}  // namespace
}  // namespace platform::net
