// The terminal mode's changes, kept in one static record because a signal
// handler must reach them without any object at hand.
#include "platform/posix/terminal_mode.h"

#include <termios.h>

#include <atomic>
#include <stdexcept>
#include <string_view>

#include "platform/posix/write_all.h"

namespace platform::posix {
namespace {

constexpr std::string_view kHideCursor = "\x1b[?25l";
constexpr std::string_view kShowCursor = "\x1b[?25h";

struct Changes {
  int input_fd = -1;  // -1: the input mode was not changed
  termios input_mode{};
  int output_fd = -1;  // -1: the cursor was not hidden
};

Changes g_changes;
// Set only once g_changes is complete, so that a handler never sees half of it.
std::atomic<bool> g_live{false};
static_assert(std::atomic<bool>::is_always_lock_free, "read from signal handlers");

void Undo(const Changes& changes) {
  if (changes.input_fd >= 0) ::tcsetattr(changes.input_fd, TCSANOW, &changes.input_mode);
  if (changes.output_fd >= 0) WriteAll(changes.output_fd, kShowCursor);
}

}  // namespace

TerminalMode::TerminalMode(int input_fd, int output_fd) {
  if (g_live.load()) throw std::logic_error("the terminal is already in the window's mode");
  Changes changes;
  if (input_fd >= 0 && ::tcgetattr(input_fd, &changes.input_mode) == 0) {
    changes.input_fd = input_fd;
  }
  changes.output_fd = output_fd;
  // Published before the terminal changes: a signal in between restores
  // what is still the same, which is harmless.
  g_changes = changes;
  g_live.store(true);
  active_ = true;

  if (changes.input_fd >= 0) {
    termios keys = changes.input_mode;
    // ISIG stays: Ctrl+C still interrupts, and the handler restores.
    keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keys.c_cc[VMIN] = 1;
    keys.c_cc[VTIME] = 0;
    ::tcsetattr(input_fd, TCSANOW, &keys);
  }
  if (output_fd >= 0) WriteAll(output_fd, kHideCursor);
}

void TerminalMode::Restore() {
  if (!active_) return;
  active_ = false;
  // Undone before the record goes: a signal in between undoes it twice,
  // which is harmless, where the other order could leave it undone.
  Undo(g_changes);
  g_live.store(false);
}

void TerminalMode::RestoreFromSignal() {
  if (g_live.load()) Undo(g_changes);
}

}  // namespace platform::posix
