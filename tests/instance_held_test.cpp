// The query whether the updater runs: it sees a claim of the name, and
// leaves none of its own behind.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/single_instance.h"

namespace {

TEST(SingleInstanceIsHeld, ExactlyWhileAClaimOfTheNameLasts) {
  const std::string name =
      std::string("KelvaneHeldTest-").append(std::to_string(std::random_device{}()));
  EXPECT_FALSE(platform::SingleInstance::IsHeld(name));
  {
    const platform::SingleInstance claim(name);
    ASSERT_FALSE(claim.AnotherInstanceRuns()) << "the query kept the name claimed";
    EXPECT_TRUE(platform::SingleInstance::IsHeld(name));
  }
  EXPECT_FALSE(platform::SingleInstance::IsHeld(name));
  const platform::SingleInstance after(name);
  EXPECT_FALSE(after.AnotherInstanceRuns());
}

}  // namespace
