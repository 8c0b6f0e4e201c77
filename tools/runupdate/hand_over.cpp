// The hand-over from the ending updater to its new version.
#include "runupdate/hand_over.h"

#include <filesystem>
#include <thread>

#include "platform/file_moves.h"
#include "platform/single_instance.h"

namespace runupdate {
namespace {

// Tries `attempt` at once and then every `every` until it succeeds or
// `at_most` has gone by.
template <typename Attempt>
bool RetryFor(std::chrono::milliseconds at_most, std::chrono::milliseconds every, Attempt attempt) {
  const auto deadline = std::chrono::steady_clock::now() + at_most;
  for (;;) {
    if (attempt()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(every);
  }
}

}  // namespace

HandOverResult HandOver(const HandOverSettings& settings) {
  const std::string new_updater = settings.folder + kNewUpdaterFile;
  const std::string updater = settings.folder + kUpdaterFile;
  std::error_code unknown;
  if (!std::filesystem::exists(new_updater, unknown)) return HandOverResult::kNothingNew;

  if (!RetryFor(settings.end_wait, settings.end_poll,
                [&] { return !platform::SingleInstance::IsHeld(settings.instance_name); })) {
    return HandOverResult::kUpdaterStillRuns;
  }
  if (!RetryFor(settings.replace_wait, settings.replace_retry,
                [&] { return platform::ReplaceFileWith(new_updater, updater); })) {
    return HandOverResult::kCannotReplace;
  }
  settings.start(kUpdaterFile);
  return HandOverResult::kDone;
}

}  // namespace runupdate
