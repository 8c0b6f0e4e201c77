// One copy of the updater at a time: the guard itself, then real starts of
// the real program against each other.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/file_system.h"
#include "platform/single_instance.h"
#include "support/child_process.h"
#include "support/temp_folder.h"
#include "support/wait_for_file.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::TempFolder;
using testing_support::WaitForFile;

TEST(SingleInstance, ASecondClaimOfTheNameFindsTheFirstUntilItEnds) {
  const std::string name = "KelvaneUpdateTest-" + std::to_string(std::random_device{}());
  {
    const platform::SingleInstance first(name);
    EXPECT_FALSE(first.AnotherInstanceRuns());
    const platform::SingleInstance second(name);
    EXPECT_TRUE(second.AnotherInstanceRuns());
  }
  const platform::SingleInstance after(name);
  EXPECT_FALSE(after.AnotherInstanceRuns());
}

// The program writes its settings file once it is past the guard and has
// its window, so the file's appearance tells that a start got through.
TEST(SingleInstance, OnlyOneUpdaterRunsAtATime) {
  TempFolder folder;
#ifdef _WIN32
  const std::string program_name = "update.exe";
#else
  const std::string program_name = "update";
#endif
  const std::filesystem::path program = folder.path() / program_name;
  std::filesystem::copy_file(platform::ExecutableFolder() + program_name, program);
  const std::filesystem::path settings = folder.path() / "update.xml";
  const std::string working = folder.path().string();

  ChildProcess first(program.string(), working, folder.File("first.log"));
  ASSERT_TRUE(first.started());
  ASSERT_TRUE(WaitForFile(settings, 60s)) << "the first start never got its window";
  std::filesystem::remove(settings);

  ChildProcess second(program.string(), working, folder.File("second.log"));
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.WaitFor(30s), 0) << "the second start ends at once, with exit code 0";
  EXPECT_FALSE(std::filesystem::exists(settings)) << "without a window";
  EXPECT_FALSE(first.WaitFor(0ms)) << "the first goes on";

  first.Kill();
  ChildProcess third(program.string(), working, folder.File("third.log"));
  ASSERT_TRUE(third.started());
  EXPECT_TRUE(WaitForFile(settings, 60s)) << "a start after the first ended runs";
  EXPECT_FALSE(third.WaitFor(0ms));
}

}  // namespace
