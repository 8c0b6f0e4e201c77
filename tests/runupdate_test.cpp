// The hand-over to the updater's new version: the logic with short waits
// against a name and files this test holds, then the real program.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "platform/single_instance.h"
#include "runupdate/hand_over.h"
#include "support/child_process.h"
#include "support/temp_folder.h"
#include "support/touch_file.h"
#include "support/wait_for_file.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/unique_handle.h"
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using runupdate::HandOverResult;
using testing_support::TempFolder;

std::string Contents(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(path, 64 << 20, bytes)) << path;
  return bytes;
}

class HandOverTest : public ::testing::Test {
 protected:
  HandOverTest() { platform::WriteWholeFile(updater_, "old updater"); }

  runupdate::HandOverSettings Settings() {
    runupdate::HandOverSettings settings;
    settings.folder = folder_.File("");
    settings.instance_name = name_;
    settings.end_wait = 5s;
    settings.end_poll = 20ms;
    settings.replace_wait = 5s;
    settings.replace_retry = 20ms;
    settings.start = [this](const std::string& program) { started_.push_back(program); };
    return settings;
  }
  void PlaceNewUpdater() { platform::WriteWholeFile(new_updater_, "new updater"); }
  // A folder of the name is in the way of every try for as long as it stays.
  void BlockUpdatersPlace() {
    fs::remove(updater_);
    fs::create_directory(updater_);
  }
  // Starts a hand-over that has to wait, and checks after a while that it
  // still does.
  std::future<HandOverResult> StartWaitingHandOver() {
    auto handing = std::async(std::launch::async, runupdate::HandOver, Settings());
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(handing.wait_for(0s), std::future_status::timeout) << "it did not wait";
    return handing;
  }
  // Runs a hand-over that is to give up, and checks that it tried for
  // `bound` first.
  static HandOverResult HandOverGivingUp(const runupdate::HandOverSettings& settings,
                                         std::chrono::milliseconds bound) {
    const auto start = std::chrono::steady_clock::now();
    const HandOverResult result = runupdate::HandOver(settings);
    EXPECT_GE(std::chrono::steady_clock::now() - start, bound) << "it gave up early";
    return result;
  }
  // The whole of a hand-over, once it has returned kDone.
  void ExpectHandedOver() {
    EXPECT_EQ(Contents(updater_), "new updater");
    EXPECT_FALSE(fs::exists(new_updater_));
    EXPECT_EQ(started_, std::vector<std::string>{"update.exe"});
  }
  // What a hand-over that gave up leaves: the new version, for a later try.
  void ExpectNewUpdaterLeft() {
    EXPECT_EQ(Contents(new_updater_), "new updater");
    EXPECT_TRUE(started_.empty());
  }

  const TempFolder folder_;
  const std::string name_ =
      std::string("KelvaneHandOverTest-").append(std::to_string(std::random_device{}()));
  const std::string new_updater_ = folder_.File("tempdata");
  const std::string updater_ = folder_.File("update.exe");
  // Written by the hand-over's thread, read once its future is done.
  std::vector<std::string> started_;
};

TEST_F(HandOverTest, WithoutANewVersionDoesNothingAtOnceEvenWhileTheUpdaterRuns) {
  const platform::SingleInstance updater_runs(name_);
  EXPECT_EQ(runupdate::HandOver(Settings()), HandOverResult::kNothingNew);
  EXPECT_EQ(Contents(updater_), "old updater");
  EXPECT_TRUE(started_.empty());
}

TEST_F(HandOverTest, WaitsForTheUpdaterToEndThenPutsTheNewVersionInPlaceAndStartsIt) {
  PlaceNewUpdater();
  std::optional<platform::SingleInstance> updater_runs(std::in_place, name_);
  auto handing = StartWaitingHandOver();
  EXPECT_EQ(Contents(updater_), "old updater");
  updater_runs.reset();
  EXPECT_EQ(handing.get(), HandOverResult::kDone);
  ExpectHandedOver();
}

TEST_F(HandOverTest, GivesUpWhenTheUpdaterDoesNotEndInTime) {
  PlaceNewUpdater();
  const platform::SingleInstance updater_runs(name_);
  auto settings = Settings();
  settings.end_wait = 300ms;
  EXPECT_EQ(HandOverGivingUp(settings, settings.end_wait), HandOverResult::kUpdaterStillRuns);
  ExpectNewUpdaterLeft();
  EXPECT_EQ(Contents(updater_), "old updater");
}

TEST_F(HandOverTest, RetriesUntilUpdateExeCanBeReplaced) {
  PlaceNewUpdater();
  BlockUpdatersPlace();
  auto handing = StartWaitingHandOver();
  fs::remove(updater_);
  EXPECT_EQ(handing.get(), HandOverResult::kDone);
  ExpectHandedOver();
}

TEST_F(HandOverTest, GivesUpWhenUpdateExeStaysInTheWay) {
  PlaceNewUpdater();
  BlockUpdatersPlace();
  auto settings = Settings();
  settings.replace_wait = 300ms;
  EXPECT_EQ(HandOverGivingUp(settings, settings.replace_wait), HandOverResult::kCannotReplace);
  ExpectNewUpdaterLeft();
  EXPECT_TRUE(fs::is_directory(updater_));
}

TEST_F(HandOverTest, GivesUpWhileUpdateExeIsHeldOpenWithoutSharing) {
#ifndef _WIN32
  GTEST_SKIP() << "files have no share modes on this build";
#else
  PlaceNewUpdater();
  auto settings = Settings();
  settings.replace_wait = 300ms;
  {
    const platform::win32::UniqueFileHandle holder(CreateFileA(
        updater_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(HandOverGivingUp(settings, settings.replace_wait), HandOverResult::kCannotReplace);
  }
  ExpectNewUpdaterLeft();
  EXPECT_EQ(Contents(updater_), "old updater");
#endif
}

// The real program, in an installation whose new "update.exe" is the
// stand-in program: its marker shows that the new version was started.
TEST(RunUpdate, PutsTheNewUpdaterInPlaceAndStartsIt) {
  const TempFolder folder;
  const fs::path program = folder.path() / KELVANE_RUNUPDATE_NAME;
  fs::copy_file(platform::ExecutableFolder() + KELVANE_RUNUPDATE_NAME, program);
  const std::string new_updater = platform::ExecutableFolder() + KELVANE_TOUCH_FILE_NAME;
  fs::copy_file(new_updater, folder.path() / "tempdata");
  folder.Write("update.exe", "old updater");

  testing_support::ChildProcess runupdate(program.string(), folder.path().string(),
                                          folder.File("runupdate.log"));
  ASSERT_TRUE(runupdate.started());
  // Up to its own 30 s when a real updater of another test holds the name.
  EXPECT_EQ(runupdate.WaitFor(60s), 0);
  EXPECT_EQ(Contents(folder.File("update.exe")), Contents(new_updater));
  EXPECT_FALSE(fs::exists(folder.path() / "tempdata"));
  EXPECT_TRUE(testing_support::WaitForFile(folder.path() / testing_support::kTouchMarker, 30s));
}

}  // namespace
