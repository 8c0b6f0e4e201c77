// The controls of the terminal toolkit: the portable ones, each telling its
// form when it must be painted again and saying what the screen shows of it.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/posix/terminal_screen.h"
#include "platform/ui.h"

namespace platform::posix {

// What the controls tell their form.
class ControlObserver {
 public:
  virtual void Invalidate() = 0;
  virtual void LogLineAppended(const std::string& line) = 0;

 protected:
  ~ControlObserver() = default;
};

// What the form asks of each of its controls.
class ScreenControl {
 public:
  virtual ~ScreenControl() = default;
  virtual const ui::Control& control() const = 0;
  virtual ScreenRow Row() const = 0;
  // True for a one-line control, which shares a line with the controls
  // beside it.
  virtual bool Inline() const { return true; }
};

// The hooks that every kind of control has.
template <class Base>
class ObservedControl : public Base, public ScreenControl {
 public:
  const ui::Control& control() const final { return *this; }

 protected:
  template <class... Arguments>
  explicit ObservedControl(ControlObserver& observer, Arguments&&... arguments)
      : Base(std::forward<Arguments>(arguments)...), observer_(observer) {}

  void BoundsChanged() final { observer_.Invalidate(); }
  void VisibilityChanged() final { observer_.Invalidate(); }

  ControlObserver& observer_;
};

class TerminalLabel final : public ObservedControl<ui::Label> {
 public:
  TerminalLabel(ControlObserver& observer, const ui::Bounds& bounds, std::string_view caption)
      : ObservedControl(observer, bounds, caption) {}
  ScreenRow Row() const override { return InlineRow{{TextItem{Caption()}}}; }

 private:
  void CaptionChanged() override { observer_.Invalidate(); }
};

class TerminalProgressBar final : public ObservedControl<ui::ProgressBar> {
 public:
  TerminalProgressBar(ControlObserver& observer, const ui::Bounds& bounds, int max, ui::Color from,
                      ui::Color to)
      : ObservedControl(observer, bounds, max, from, to) {}
  // A terminal cell has one colour: the one along the bar's middle line.
  ScreenRow Row() const override { return BarRow{Position(), Max(), BarColorFrom()}; }
  bool Inline() const override { return false; }

 private:
  void BarChanged() override { observer_.Invalidate(); }
};

class TerminalMemo final : public ObservedControl<ui::Memo> {
 public:
  TerminalMemo(ControlObserver& observer, const ui::Bounds& bounds)
      : ObservedControl(observer, bounds) {}
  ScreenRow Row() const override { return LogRows{Lines()}; }
  bool Inline() const override { return false; }
  // The log always shows its last lines, which is where the updater scrolls.
  void ScrollLines(int /*lines*/) override {}

 private:
  void LineAppended() override { observer_.LogLineAppended(Lines().back()); }
};

class TerminalCheckBox final : public ObservedControl<ui::CheckBox> {
 public:
  TerminalCheckBox(ControlObserver& observer, const ui::Bounds& bounds, std::string_view caption)
      : ObservedControl(observer, bounds, caption) {}
  ScreenRow Row() const override { return InlineRow{{CheckItem{Caption(), Checked()}}}; }

 private:
  void CheckedChanged() override { observer_.Invalidate(); }
};

class TerminalButton final : public ObservedControl<ui::Button> {
 public:
  TerminalButton(ControlObserver& observer, const ui::Bounds& bounds, std::string_view caption)
      : ObservedControl(observer, bounds, caption) {}
  ScreenRow Row() const override { return InlineRow{{ButtonItem{Caption()}}}; }
};

}  // namespace platform::posix
