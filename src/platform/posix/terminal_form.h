// The one window of the terminal toolkit: it owns the controls and timers,
// says what the screen shows of them, paints when something changed, and
// turns key commands into clicks and close requests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/terminal_controls.h"
#include "platform/posix/terminal_keys.h"
#include "platform/posix/terminal_screen.h"
#include "platform/posix/terminal_timer.h"
#include "platform/ui.h"

namespace platform::posix {

class TerminalApplication;

class TerminalForm final : public ui::Form, public ControlObserver {
 public:
  // A terminal has no pixels; the outer size is kept as a number, that of a
  // tool window's frame around the client area.
  static constexpr int kFrameWidth = 6;
  static constexpr int kFrameHeight = 24;

  TerminalForm(TerminalApplication& application, const ui::FormDesign& design);
  ~TerminalForm() override;

  ui::Label& AddLabel(const ui::Bounds& bounds, std::string_view caption) override;
  ui::ProgressBar& AddProgressBar(const ui::Bounds& bounds, int max, ui::Color from,
                                  ui::Color to) override;
  ui::Memo& AddMemo(const ui::Bounds& bounds) override;
  ui::CheckBox& AddCheckBox(const ui::Bounds& bounds, std::string_view caption) override;
  ui::Button& AddButton(const ui::Bounds& bounds, std::string_view caption) override;
  ui::Timer& AddTimer(int interval_ms) override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetHeight(int height) override { height_ = height; }
  int Top() const override { return top_; }
  int Left() const override { return left_; }
  void SetTop(int top) override { top_ = top; }
  void SetLeft(int left) override { left_ = left; }
  void Close() override;
  void RepaintNow() override;

  // ControlObserver.
  void Invalidate() override { dirty_ = true; }
  void LogLineAppended(const std::string& line) override;

  // For the application's loop.
  void SetShown(bool shown);
  // Dispatches the commands in `bytes`, read from the terminal, until the
  // request to end is posted.
  void HandleKeys(std::string_view bytes);
  // Ticks every timer that is due by `now` until the request to end is posted.
  void TickDueTimers(Clock::time_point now);
  std::optional<Clock::time_point> NextTimerDue() const;

  // What the screen shows now: the visible controls top to bottom, those on
  // one line of the window on one line of the screen.
  ScreenModel Model();

 private:
  // What a key command does, and its name on the help line.
  struct KeyTarget {
    std::string_view caption;
    ui::Handler action;
  };
  // None when the form has no such control or it is hidden.
  std::optional<KeyTarget> TargetOf(KeyCommand command);
  template <class Clickable>
  static std::optional<KeyTarget> ClickOf(const std::vector<Clickable*>& controls,
                                          std::size_t index);

  template <class Control, class... Arguments>
  Control& Own(Arguments&&... arguments);

  TerminalApplication& application_;
  ui::FormDesign design_;
  std::vector<std::unique_ptr<ScreenControl>> controls_;  // in the order of creation
  std::vector<ui::CheckBox*> check_boxes_;
  std::vector<ui::Button*> buttons_;
  std::vector<std::unique_ptr<TerminalTimer>> timers_;
  int width_;
  int height_;
  int top_ = 0;
  int left_ = 0;
  bool shown_ = false;
  bool dirty_ = true;
  bool closed_ = false;
};

}  // namespace platform::posix
