// The tests that send anything: only in the private test network that
// scripts/in-test-network sets up, a namespace of its own with nothing but
// loopback, where echo requests to 127.0.0.2 are dropped and echo replies
// from 127.0.0.3 are dropped (its requests arrive, its answers never come).
// Elsewhere they would reach the host's own network, so they skip.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

namespace testing_support {

inline bool InTestNetwork() {
  const char* flag = std::getenv("KELVANE_TEST_NETWORK");
  return flag != nullptr && std::string_view(flag) == "1";
}

// The base of every fixture whose tests send.
class TestNetworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!InTestNetwork()) {
      GTEST_SKIP() << "needs the private test network: run through scripts/in-test-network";
    }
  }
};

}  // namespace testing_support
