// Waiting for a file that another process is expected to write.
#pragma once

#include <chrono>
#include <filesystem>

#include "support/wait_until.h"

namespace testing_support {

// False when `file` is still missing after `timeout`.
inline bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds timeout) {
  return WaitUntil([&file] { return std::filesystem::exists(file); }, timeout);
}

}  // namespace testing_support
