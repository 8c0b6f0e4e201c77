// Waiting for something that another process is expected to do.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace testing_support {

// True once `condition` holds, false when it still does not after `timeout`.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace testing_support
