// Owner of the dispositions of the signals that end the program from outside
// (SIGINT, SIGTERM) while the window is up: their handler puts the terminal
// back (TerminalMode::RestoreFromSignal), then lets the signal end the
// program as its default disposition does.
#pragma once

#include <signal.h>

#include <array>
#include <utility>

namespace platform::posix {

class FatalSignalGuard {
 public:
  // Leaves a signal that the program was started with ignored (nohup, a
  // background job) ignored.
  FatalSignalGuard();
  FatalSignalGuard(const FatalSignalGuard&) = delete;
  FatalSignalGuard& operator=(const FatalSignalGuard&) = delete;
  FatalSignalGuard(FatalSignalGuard&& other) noexcept
      : previous_(other.previous_), installed_(std::exchange(other.installed_, {})) {}
  FatalSignalGuard& operator=(FatalSignalGuard&& other) noexcept {
    if (this != &other) {
      Reinstate();
      previous_ = other.previous_;
      installed_ = std::exchange(other.installed_, {});
    }
    return *this;
  }
  ~FatalSignalGuard() { Reinstate(); }

 private:
  static constexpr std::array<int, 2> kSignals = {SIGINT, SIGTERM};

  void Reinstate();

  std::array<struct sigaction, kSignals.size()> previous_{};
  std::array<bool, kSignals.size()> installed_{};
};

}  // namespace platform::posix
