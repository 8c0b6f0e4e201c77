// A toolkit without a screen, for the tests: it keeps every control's state,
// records what each repaint showed, and lets a test post work that runs when
// messages are dispatched, as user input would.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace platform::headless {

// What one repaint showed of one control.
struct PaintedControl {
  std::string text;  // label caption, check box caption, or the memo's last line
  int position = 0;
  int max = 0;
  ui::Color color_from = 0;
  ui::Color color_to = 0;
  bool checked = false;
  bool visible = true;
  int top = 0;
};

// Everything on the form as one repaint left it.
struct Paint {
  std::map<const ui::Control*, PaintedControl> controls;
  int form_height = 0;
  const PaintedControl& Of(const ui::Control& control) const { return controls.at(&control); }
};

class HeadlessMemo;
class HeadlessForm;

class HeadlessApplication final : public ui::Application {
 public:
  HeadlessApplication() = default;

  void SetTitle(std::string_view title) override { title_ = title; }
  std::unique_ptr<ui::Form> CreateForm(const ui::FormDesign& design) override;
  // Dispatches posted work and ticks enabled timers until the request to end
  // is taken; returns, as if the user had left, once nothing is left to do.
  void Run(ui::Form& main_form) override;
  void Terminate() override { quit_posted_ = true; }
  void ProcessMessages() override;
  bool Terminated() const override { return terminated_; }
  void ShowError(std::string_view text) override { errors_.emplace_back(text); }
  ui::ScreenRect TaskbarRect() const override { return taskbar_; }
  ui::ScreenRect ScreenRectangle() const override { return screen_; }

  // Test controls.
  void Post(ui::Handler work) { posted_.push_back(std::move(work)); }
  void SetTaskbar(const ui::ScreenRect& taskbar) { taskbar_ = taskbar; }
  void SetScreen(const ui::ScreenRect& screen) { screen_ = screen; }
  const std::string& title() const { return title_; }
  const std::vector<std::string>& errors() const { return errors_; }
  bool quit_posted() const { return quit_posted_; }
  int process_messages_calls() const { return process_messages_calls_; }

 private:
  // One message: the quit request first, then posted work; false when idle.
  bool DispatchOne();

  std::string title_;
  std::vector<std::string> errors_;
  std::deque<ui::Handler> posted_;
  std::vector<HeadlessForm*> forms_;
  bool quit_posted_ = false;
  bool terminated_ = false;
  int process_messages_calls_ = 0;
  ui::ScreenRect taskbar_{};
  ui::ScreenRect screen_{0, 0, 1024, 768};

  friend class HeadlessForm;
};

class HeadlessForm final : public ui::Form {
 public:
  // Frame of a tool window: outer size = client size + these.
  static constexpr int kFrameWidth = 6;
  static constexpr int kFrameHeight = 24;

  HeadlessForm(HeadlessApplication& application, const ui::FormDesign& design);
  ~HeadlessForm() override;

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

  // Test views.
  const ui::FormDesign& design() const { return design_; }
  bool shown() const { return shown_; }
  bool closed() const { return closed_; }
  const std::vector<Paint>& paints() const { return paints_; }
  const HeadlessMemo* memo() const { return memo_; }
  // The answer that the system's end-of-session query would get.
  bool QueryEndSession() { return CloseAllowed(); }
  // Ticks every enabled timer once; false when none is enabled.
  bool TickTimers();

 private:
  friend class HeadlessApplication;

  HeadlessApplication& application_;
  ui::FormDesign design_;
  std::vector<std::unique_ptr<ui::Control>> controls_;
  std::vector<std::unique_ptr<ui::Timer>> timers_;
  HeadlessMemo* memo_ = nullptr;
  std::vector<Paint> paints_;
  int width_;
  int height_;
  int top_ = 0;
  int left_ = 0;
  bool shown_ = false;
  bool closed_ = false;
};

class HeadlessMemo final : public ui::Memo {
 public:
  explicit HeadlessMemo(const ui::Bounds& bounds) : Memo(bounds) {}
  void ScrollLines(int lines) override { scrolled_lines_.push_back(lines); }
  // Every EM_LINESCROLL count received, in order.
  const std::vector<int>& scrolled_lines() const { return scrolled_lines_; }

 private:
  std::vector<int> scrolled_lines_;
};

}  // namespace platform::headless
