// The terminal toolkit's message loop, painting and error output, and the
// product's toolkit on Linux.
#include "platform/posix/terminal_application.h"

#include <poll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

#include "platform/posix/fatal_signal_guard.h"
#include "platform/posix/terminal_form.h"
#include "platform/posix/terminal_mode.h"
#include "platform/posix/write_all.h"

namespace platform::posix {
namespace {

// The window's width on a wide terminal, in the proportions of the window.
constexpr int kWindowColumns = 72;

struct TerminalSize {
  int columns = 0;
  int rows = 0;  // 0 when unknown
};

TerminalSize SizeOf(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) != 0) return {};
  return {size.ws_col, size.ws_row};
}

}  // namespace

TerminalApplication::TerminalApplication(const TerminalIo& io)
    : io_(io),
      output_is_terminal_(::isatty(io.output) == 1),
      input_is_terminal_(::isatty(io.input) == 1) {}

std::unique_ptr<ui::Form> TerminalApplication::CreateForm(const ui::FormDesign& design) {
  return std::make_unique<TerminalForm>(*this, design);
}

void TerminalApplication::Run(ui::Form& main_form) {
  auto& form = static_cast<TerminalForm&>(main_form);
  const FatalSignalGuard signals;
  const TerminalMode mode(input_is_terminal_ ? io_.input : -1,
                          output_is_terminal_ ? io_.output : -1);
  shown_form_ = &form;
  form.SetShown(true);
  // Without keys and timers this waits for a signal: the window stays, as
  // on a desktop, until something ends the program.
  while (!TakeQuit()) {
    PaintDirtyForms();
    Pump(TimeoutToNextTimer());
  }
  PaintDirtyForms();
  form.SetShown(false);
  shown_form_ = nullptr;
}

void TerminalApplication::ProcessMessages() {
  // Once the request to end is posted, Pump dispatches nothing.
  Pump(0);
  TakeQuit();
  PaintDirtyForms();
}

void TerminalApplication::ShowError(std::string_view text) {
  last_error_ = title_.empty() ? std::string(text) : title_ + ": " + std::string(text);
  WriteAll(io_.error, last_error_ + "\n");
  for (TerminalForm* form : forms_) form->Invalidate();
}

void TerminalApplication::Paint(const ScreenModel& model) {
  if (!output_is_terminal_) return;
  const TerminalSize size = SizeOf(io_.output);
  const int width = size.columns > 0 ? std::min(size.columns, kWindowColumns) : kWindowColumns;
  const std::vector<std::string> lines = RenderScreen(model, width);
  // A frame as tall as the terminal would scroll it at its last line break
  // and leave a copy of its top line behind at every paint.
  const std::size_t shown = size.rows > 1
                                ? std::min(lines.size(), static_cast<std::size_t>(size.rows - 1))
                                : lines.size();
  WriteAll(io_.output, FrameBytes(std::span(lines).first(shown)));
}

void TerminalApplication::EchoLogLine(std::string_view line) {
  std::string plain(line);
  plain += '\n';
  WriteAll(io_.output, plain);
}

bool TerminalApplication::TakeQuit() {
  if (quit_posted_) {
    quit_posted_ = false;
    terminated_ = true;
  }
  return terminated_;
}

bool TerminalApplication::Pump(int timeout_ms, std::optional<pollfd> socket) {
  // Everything the loop waits for is in this one poll(): the keys, and the
  // socket of a fetch that waits while the window stays alive.
  std::vector<pollfd> waits;
  if (socket) waits.push_back(*socket);
  const bool reads_keys = ReadsKeys();
  if (reads_keys) waits.push_back({io_.input, POLLIN, 0});
  const int ready = ::poll(waits.data(), waits.size(), timeout_ms);
  const bool socket_ready = ready > 0 && socket && waits.front().revents != 0;
  if (ready > 0 && reads_keys && waits.back().revents != 0) ReadKeys();
  // By index: a handler may create a form.
  for (std::size_t i = 0; i < forms_.size() && !Ending(); ++i) {
    forms_[i]->TickDueTimers(Clock::now());
  }
  return socket_ready;
}

bool TerminalApplication::WaitForSocket(std::intptr_t socket, bool for_writing,
                                        std::chrono::milliseconds at_most) {
  const auto events = static_cast<short>(for_writing ? POLLOUT : POLLIN);
  const bool ready =
      Pump(static_cast<int>(at_most.count()), pollfd{static_cast<int>(socket), events, 0});
  TakeQuit();
  PaintDirtyForms();
  return ready;
}

void TerminalApplication::ReadKeys() {
  std::array<char, 64> keys{};
  const ssize_t count = ::read(io_.input, keys.data(), keys.size());
  if (count < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (count <= 0) {
    // The terminal has gone (hang-up, end of input): no key comes any more.
    input_open_ = false;
    return;
  }
  if (shown_form_ != nullptr) {
    shown_form_->HandleKeys(std::string_view(keys.data(), static_cast<std::size_t>(count)));
  }
}

int TerminalApplication::TimeoutToNextTimer() const {
  std::optional<Clock::time_point> next;
  for (const TerminalForm* form : forms_) next = Earlier(next, form->NextTimerDue());
  if (!next) return -1;
  // Rounded up: waking before the timer is due would only wait again.
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
}

void TerminalApplication::PaintDirtyForms() {
  for (TerminalForm* form : forms_) form->RepaintNow();
}

}  // namespace platform::posix

namespace platform::ui {

std::unique_ptr<Application> CreateNativeApplication() {
  return std::make_unique<posix::TerminalApplication>(posix::TerminalIo{});
}

}  // namespace platform::ui
