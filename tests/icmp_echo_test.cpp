// The reachability test, held to one behaviour on both builds: what a host
// text means and which look-ups it costs (with a counting look-up, no
// network needed), then real echoes in the private test network.
#include "platform/icmp_echo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/test_network.h"

namespace platform {

void PrintTo(const Ipv4Address& address, std::ostream* out) {
  *out << int{address.octets[0]} << '.' << int{address.octets[1]} << '.' << int{address.octets[2]}
       << '.' << int{address.octets[3]};
}

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr Ipv4Address kLoopback{{127, 0, 0, 1}};
// Requests arrive but replies are dropped (see test_network.h).
constexpr Ipv4Address kRepliesLost{{127, 0, 0, 3}};

// Parses a copy of `text` in a heap block of exactly its size, so that a
// read past its end is an error under AddressSanitizer.
std::optional<Ipv4Address> ParseExactly(std::string_view text) {
  const auto copy = std::make_unique<char[]>(text.size());
  text.copy(copy.get(), text.size());
  return ParseDottedIpv4(std::string_view(copy.get(), text.size()));
}

TEST(DottedIpv4Test, TakesOnlyFourDecimalPartsAsAnAddress) {
  struct Case {
    std::string_view text;
    std::optional<Ipv4Address> address;
  };
  const Case cases[] = {
      {"127.0.0.1", kLoopback},
      {"0.0.0.0", Ipv4Address{{0, 0, 0, 0}}},
      {"255.255.255.255", Ipv4Address{{255, 255, 255, 255}}},
      {"10.200.30.4", Ipv4Address{{10, 200, 30, 4}}},
      {"", std::nullopt},
      {"1.2.3", std::nullopt},
      {"127.1", std::nullopt},
      {"1.2.3.4.5", std::nullopt},
      {"999.1.1.1", std::nullopt},
      {"256.0.0.1", std::nullopt},
      {"1.2.3.256", std::nullopt},
      {"1234.1.1.1", std::nullopt},
      {"1.2.3.4444", std::nullopt},
      {"010.0.0.1", std::nullopt},
      {"1.2.3.00", std::nullopt},
      {"0x7f.0.0.1", std::nullopt},
      {"1..2.3", std::nullopt},
      {".1.2.3", std::nullopt},
      {"1.2.3.", std::nullopt},
      {"1.2.3.4.", std::nullopt},
      {" 1.2.3.4", std::nullopt},
      {"1.2.3.4 ", std::nullopt},
      {"+1.2.3.4", std::nullopt},
      {"1.2.3.-4", std::nullopt},
      {"1.2.3.4a", std::nullopt},
      {std::string_view("1.2.3.4\0", 8), std::nullopt},
      {"mirror.example", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(ParseExactly(c.text), c.address);
  }
}

// A look-up that records every name it is asked for and resolves only the
// names it was given.
class RecordingLookup {
 public:
  explicit RecordingLookup(std::map<std::string, Ipv4Address> addresses)
      : addresses_(std::move(addresses)) {}

  NameLookup Function() {
    return [this](const std::string& name) -> std::optional<Ipv4Address> {
      names.push_back(name);
      const auto found = addresses_.find(name);
      if (found == addresses_.end()) return std::nullopt;
      return found->second;
    };
  }

  std::vector<std::string> names;

 private:
  std::map<std::string, Ipv4Address> addresses_;
};

// These echoes go to loopback at the most (the recorded look-up's answer),
// which the host may answer or not: only the look-ups are asserted.
TEST(IcmpEchoNameTest, LooksUpANameOnlyWhenItChanges) {
  using Names = std::vector<std::string>;
  struct Case {
    Names hosts;
    Names looked_up;
  };
  const Case cases[] = {
      {{"mirror.test", "mirror.test", "mirror.test"}, {"mirror.test"}},
      {{"mirror.test", "other.test"}, {"mirror.test", "other.test"}},
      {{"mirror.test", "other.test", "mirror.test"}, {"mirror.test", "other.test", "mirror.test"}},
      // An address in between is a change of host too.
      {{"mirror.test", "127.0.0.1", "mirror.test"}, {"mirror.test", "mirror.test"}},
      // A failed look-up is tried again: the name server may be back.
      {{"gone.invalid", "gone.invalid"}, {"gone.invalid", "gone.invalid"}},
      {{"mirror.test", "gone.invalid", "mirror.test"},
       {"mirror.test", "gone.invalid", "mirror.test"}},
      // Not addresses: names, to be looked up.
      {{"1.2.3", "999.1.1.1", "127.0.0.1"}, {"1.2.3", "999.1.1.1"}},
      {{"", "127.0.0.1", ""}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.hosts));
    RecordingLookup lookup({{"mirror.test", kLoopback},
                            {"other.test", kLoopback},
                            {"1.2.3", kLoopback},
                            {"999.1.1.1", kLoopback}});
    IcmpEcho echo({.timeout = 1000ms}, lookup.Function());
    for (const std::string& host : c.hosts) echo.Ping(host);
    EXPECT_EQ(lookup.names, c.looked_up);
  }
}

TEST(IcmpEchoNameTest, EmptyHostOrUnresolvedNameReturnsAtOnceWithoutAnEcho) {
  for (const std::string host : {"", "nothing.invalid"}) {
    SCOPED_TRACE(host);
    RecordingLookup lookup({});
    IcmpEcho echo({}, lookup.Function());
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(echo.Ping(host), 0);
    EXPECT_LT(Clock::now() - start, 500ms);
  }
}

struct EchoCase {
  const char* label;
  std::string host;
  std::chrono::milliseconds timeout;
  int replies;
  std::chrono::milliseconds at_least;
  std::chrono::milliseconds at_most;
};

void PrintTo(const EchoCase& c, std::ostream* out) { *out << c.label; }

class IcmpEchoNetworkTest : public testing_support::TestNetworkTest,
                            public ::testing::WithParamInterface<EchoCase> {};

// Through the system's resolver, which in the test network has its own
// hosts file (localhost is 127.0.0.1) and no name server to reach.
TEST_P(IcmpEchoNetworkTest, CountsTheRepliesWithinTheTimeout) {
  const EchoCase& c = GetParam();
  IcmpEcho echo({.timeout = c.timeout});
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(echo.Ping(c.host), c.replies);
  const auto took = Clock::now() - start;
  EXPECT_GE(took, c.at_least);
  EXPECT_LE(took, c.at_most);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, IcmpEchoNetworkTest,
    ::testing::Values(EchoCase{"LoopbackAnswers", "127.0.0.1", 4000ms, 1, 0ms, 1000ms},
                      EchoCase{"DroppedRequestTimesOut", "127.0.0.2", 4000ms, 0, 3500ms, 6000ms},
                      EchoCase{"LostReplyTimesOut", "127.0.0.3", 1000ms, 0, 800ms, 3000ms},
                      EchoCase{"LocalhostResolvesAndAnswers", "localhost", 4000ms, 1, 0ms, 1000ms},
                      EchoCase{"UnresolvableNameFailsFast", "nothing.invalid", 4000ms, 0, 0ms,
                               2000ms},
                      EchoCase{"NameCutByNulIsNoName", std::string("localhost\0.invalid", 18),
                               4000ms, 0, 0ms, 1000ms}),
    [](const ::testing::TestParamInfo<EchoCase>& row) { return std::string(row.param.label); });

class IcmpEchoKeptAddressTest : public testing_support::TestNetworkTest {};

// The kept address must follow the name: a stale one would make the silent
// host answer for the loopback one, or the other way round.
TEST_F(IcmpEchoKeptAddressTest, EchoesTheAddressOfTheCurrentName) {
  RecordingLookup lookup({{"answers.test", kLoopback}, {"silent.test", kRepliesLost}});
  IcmpEcho echo({.timeout = 1000ms}, lookup.Function());
  EXPECT_EQ(echo.Ping("answers.test"), 1);
  EXPECT_EQ(echo.Ping("silent.test"), 0);
  EXPECT_EQ(echo.Ping("answers.test"), 1);
  EXPECT_EQ(echo.Ping("answers.test"), 1);
  EXPECT_EQ(lookup.names,
            (std::vector<std::string>{"answers.test", "silent.test", "answers.test"}));
}

}  // namespace
}  // namespace platform
