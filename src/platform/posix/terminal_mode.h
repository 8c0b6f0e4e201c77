// Owner of the terminal's state while the window is up: its input
// non-canonical and without echo, so that keys arrive one at a time, and its
// cursor hidden, so that repaints do not flicker. Both are put back when the
// owner goes, and from a fatal signal's handler (see fatal_signal_guard.h).
#pragma once

#include <utility>

namespace platform::posix {

class TerminalMode {
 public:
  // Changes the input mode of `input_fd` and hides the cursor on
  // `output_fd`; -1 leaves that side alone. One mode at a time in the
  // process: a second one throws std::logic_error.
  TerminalMode(int input_fd, int output_fd);
  TerminalMode(const TerminalMode&) = delete;
  TerminalMode& operator=(const TerminalMode&) = delete;
  TerminalMode(TerminalMode&& other) noexcept : active_(std::exchange(other.active_, false)) {}
  TerminalMode& operator=(TerminalMode&& other) noexcept {
    if (this != &other) {
      Restore();
      active_ = std::exchange(other.active_, false);
    }
    return *this;
  }
  ~TerminalMode() { Restore(); }

  // Puts back what the live mode changed, if there is one; async-signal-safe.
  static void RestoreFromSignal();

 private:
  void Restore();

  bool active_ = false;
};

}  // namespace platform::posix
