// The terminal toolkit's application: the message loop over one poll() of
// the terminal's input with the next timer's due time as its timeout, the
// window painted on the terminal's output, errors on the error output. When
// the output is no terminal, nothing is painted and the log's lines go to
// the output as plain lines instead; when the input is none, no keys are read.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/terminal_screen.h"
#include "platform/ui.h"

namespace platform::posix {

class TerminalForm;

// The descriptors the toolkit uses, not owned.
struct TerminalIo {
  int input = STDIN_FILENO;
  int output = STDOUT_FILENO;
  int error = STDERR_FILENO;
};

class TerminalApplication final : public ui::Application {
 public:
  explicit TerminalApplication(const TerminalIo& io);

  void SetTitle(std::string_view title) override { title_ = title; }
  std::unique_ptr<ui::Form> CreateForm(const ui::FormDesign& design) override;
  void Run(ui::Form& main_form) override;
  void Terminate() override { quit_posted_ = true; }
  void ProcessMessages() override;
  bool Terminated() const override { return terminated_; }
  // The socket joins the keys in the loop's one poll().
  bool WaitForSocket(std::intptr_t socket, bool for_writing,
                     std::chrono::milliseconds at_most) override;
  // "<title>: <text>" on the error output, and on the window's status line.
  void ShowError(std::string_view text) override;
  // A terminal has no taskbar, and its screen is a notional one.
  ui::ScreenRect TaskbarRect() const override { return {}; }
  ui::ScreenRect ScreenRectangle() const override { return {0, 0, 1024, 768}; }

 private:
  friend class TerminalForm;

  // For the forms.
  bool Draws() const { return output_is_terminal_; }
  // True once the request to end is posted: nothing more is dispatched.
  bool Ending() const { return quit_posted_ || terminated_; }
  const std::string& LastError() const { return last_error_; }
  void Paint(const ScreenModel& model);
  void EchoLogLine(std::string_view line);

  bool ReadsKeys() const { return input_is_terminal_ && input_open_ && shown_form_ != nullptr; }
  // Takes the request to end when it is posted; true once it is taken.
  bool TakeQuit();
  // One turn of the loop: waits up to `timeout_ms` (-1: without end) for a
  // key, then dispatches the keys that came and the timers that are due.
  // True when `socket` was given and became ready.
  bool Pump(int timeout_ms, std::optional<pollfd> socket = std::nullopt);
  void ReadKeys();
  // Milliseconds until the next enabled timer is due, -1 when none is.
  int TimeoutToNextTimer() const;
  void PaintDirtyForms();

  TerminalIo io_;
  bool output_is_terminal_;
  bool input_is_terminal_;
  bool input_open_ = true;
  std::string title_;
  std::string last_error_;
  std::vector<TerminalForm*> forms_;
  TerminalForm* shown_form_ = nullptr;
  bool quit_posted_ = false;
  bool terminated_ = false;
};

}  // namespace platform::posix
