// The Linux build's ICMP sockets, each kind on its own: the system picks
// only one of them, so the other would go untested. Both kinds open in the
// private test network (datagram sockets are allowed there, and the
// namespace's root may open raw ones).
#include "platform/posix/icmp_socket.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/unique_fd.h"
#include "support/test_network.h"

namespace platform::posix {

// Found by argument-dependent look-up, so outside the unnamed namespace.
void PrintTo(IcmpSocketKind kind, std::ostream* out) {
  *out << (kind == IcmpSocketKind::kDatagram ? "Datagram" : "Raw");
}

namespace {

using namespace std::chrono_literals;

constexpr Ipv4Address kLoopback{{127, 0, 0, 1}};
// Requests arrive but replies are dropped (see test_network.h).
constexpr Ipv4Address kRepliesLost{{127, 0, 0, 3}};

constexpr std::size_t kIcmpHeaderBytes = 8;

// What a capturing raw socket saw of one echo request.
struct SeenRequest {
  int time_to_live;
  std::vector<unsigned char> data;
};

// The first echo request to `to` with `data_bytes` of data that `capture`
// sees within a second.
std::optional<SeenRequest> SeeRequest(const UniqueFd& capture, const Ipv4Address& to,
                                      std::size_t data_bytes) {
  std::vector<unsigned char> packet(65536);
  for (int attempt = 0; attempt < 100; ++attempt) {
    pollfd waiting{capture.get(), POLLIN, 0};
    if (::poll(&waiting, 1, 1000) <= 0) return std::nullopt;
    const ssize_t received = ::recv(capture.get(), packet.data(), packet.size(), 0);
    if (received < static_cast<ssize_t>(sizeof(iphdr))) continue;
    iphdr ip;
    std::memcpy(&ip, packet.data(), sizeof ip);
    const std::size_t header_bytes = ip.ihl * 4u;
    const std::size_t size = static_cast<std::size_t>(received);
    if (size != header_bytes + kIcmpHeaderBytes + data_bytes) continue;
    if (std::memcmp(&ip.daddr, to.octets.data(), 4) != 0) continue;
    if (packet[header_bytes] != ICMP_ECHO) continue;
    const auto data = packet.begin() + static_cast<std::ptrdiff_t>(header_bytes + kIcmpHeaderBytes);
    return SeenRequest{
        ip.ttl, std::vector<unsigned char>(data, data + static_cast<std::ptrdiff_t>(data_bytes))};
  }
  return std::nullopt;
}

class IcmpSocketTest : public testing_support::TestNetworkTest,
                       public ::testing::WithParamInterface<IcmpSocketKind> {};

TEST_P(IcmpSocketTest, CountsOnlyTheReplyToItsOwnRequest) {
  IcmpSocket socket(GetParam());
  ASSERT_TRUE(socket) << "this kind of ICMP socket did not open in the test network";
  const EchoSettings settings{.timeout = 1000ms};
  // Twice: the second request must find its own reply, not trip over the
  // first exchange.
  EXPECT_EQ(socket.Echo(kLoopback, settings), 1);
  EXPECT_EQ(socket.Echo(kLoopback, settings), 1);
  // A raw socket sees this request arrive on loopback; it is no reply.
  EXPECT_EQ(socket.Echo(kRepliesLost, settings), 0);
}

// An unusual size and time to live, to tell this request from those of
// tests running beside it.
TEST_P(IcmpSocketTest, SendsTheTimeToLiveAndDataItIsGiven) {
  const UniqueFd capture(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP));
  ASSERT_TRUE(capture) << "no raw socket to watch the request with";
  IcmpSocket socket(GetParam());
  ASSERT_TRUE(socket);
  const EchoSettings settings{.data_bytes = 73, .time_to_live = 17, .timeout = 1000ms};
  EXPECT_EQ(socket.Echo(kLoopback, settings), 1);

  const std::optional<SeenRequest> seen = SeeRequest(capture, kLoopback, 73);
  ASSERT_TRUE(seen) << "no echo request with 73 bytes of data went to 127.0.0.1";
  EXPECT_EQ(seen->time_to_live, 17);
  const std::string_view data(reinterpret_cast<const char*>(seen->data.data()), seen->data.size());
  const std::size_t text_end = data.find_last_not_of(' ');
  ASSERT_NE(text_end, std::string_view::npos) << "the data is all spaces";
  EXPECT_NE(data.front(), ' ');
  EXPECT_LT(text_end + 1, data.size()) << "the text is not padded with spaces";
}

INSTANTIATE_TEST_SUITE_P(Kinds, IcmpSocketTest,
                         ::testing::Values(IcmpSocketKind::kDatagram, IcmpSocketKind::kRaw),
                         [](const ::testing::TestParamInfo<IcmpSocketKind>& kind) {
                           return ::testing::PrintToString(kind.param);
                         });

}  // namespace
}  // namespace platform::posix
