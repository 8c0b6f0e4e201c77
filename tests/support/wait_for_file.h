// Waiting for a file that another process is expected to write.
#pragma once

#include <chrono>
#include <filesystem>
#include <thread>

namespace testing_support {

// False when `file` is still missing after `timeout`.
inline bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!std::filesystem::exists(file)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace testing_support
