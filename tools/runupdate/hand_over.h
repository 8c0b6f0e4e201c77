// What runupdate does: once the updater that started it has ended, put the
// verified new updater ("tempdata") in the place of update.exe and start it,
// so that the run goes on with the new program.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace runupdate {

// The exit codes of the program.
enum class HandOverResult {
  kDone = 0,
  kNothingNew = 1,        // no "tempdata": nothing is started
  kUpdaterStillRuns = 2,  // the updater did not end in time; "tempdata" is left
  kCannotReplace = 3,     // update.exe stayed held; "tempdata" is left
};

struct HandOverSettings {
  // Holds "tempdata" and update.exe: empty for the current folder, else
  // ending with a separator.
  std::string folder;
  // The single-instance name the updater holds for as long as it runs.
  std::string instance_name = "KelvaneUpdate";
  std::chrono::milliseconds end_wait{30'000};
  std::chrono::milliseconds end_poll{100};
  // The ending process, and scanners looking at the new file, can hold
  // update.exe for a moment after the name is free.
  std::chrono::milliseconds replace_wait{10'000};
  std::chrono::milliseconds replace_retry{250};
  // Starts a program of the current folder by its bare name.
  std::function<void(const std::string&)> start;
};

inline constexpr const char* kNewUpdaterFile = "tempdata";
inline constexpr const char* kUpdaterFile = "update.exe";

HandOverResult HandOver(const HandOverSettings& settings);

}  // namespace runupdate
