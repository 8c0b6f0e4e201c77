// A timer of the terminal toolkit: due one interval after its creation, its
// enabling or its last tick; the application's loop waits for the earliest.
#pragma once

#include <algorithm>
#include <chrono>
#include <optional>

#include "platform/ui.h"

namespace platform::posix {

using Clock = std::chrono::steady_clock;

// The earlier of two due times, either of which may be none.
inline std::optional<Clock::time_point> Earlier(std::optional<Clock::time_point> a,
                                                std::optional<Clock::time_point> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

class TerminalTimer final : public ui::Timer {
 public:
  explicit TerminalTimer(int interval_ms) : Timer(interval_ms) { Restart(); }

  // When it is due next; none while disabled.
  std::optional<Clock::time_point> Due() const {
    if (!Enabled()) return std::nullopt;
    return due_;
  }
  void Restart() { due_ = Clock::now() + Interval(); }

 private:
  // As on Windows, a shorter interval is taken as 10 ms, so that a timer of
  // 0 cannot keep the loop from ever waiting.
  static constexpr int kMinimumIntervalMs = 10;

  std::chrono::milliseconds Interval() const {
    return std::chrono::milliseconds(std::max(IntervalMs(), kMinimumIntervalMs));
  }
  void EnabledChanged() override {
    if (Enabled()) Restart();
  }

  Clock::time_point due_;
};

}  // namespace platform::posix
