// The form's system controls: the label (STATIC), the check box and the
// push button (BUTTON) and the log (EDIT). Each is a real child window, so
// that other programs can read it; its state stays in the portable model.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/ui.h"
#include "platform/win32/windowed_control.h"

namespace platform::win32 {

class Win32Label final : public WindowedControl<ui::Label> {
 public:
  Win32Label(const ChildSite& site, const ui::Bounds& bounds, std::string_view caption);

 private:
  void CaptionChanged() override;
  void FitWidthTo(const std::wstring& text);

  HFONT font_;
};

// Not an automatic check box: a click is the model's to apply.
class Win32CheckBox final : public WindowedControl<ui::CheckBox> {
 public:
  Win32CheckBox(const ChildSite& site, const ui::Bounds& bounds, std::string_view caption);

 private:
  void CheckedChanged() override;
};

class Win32Button final : public WindowedControl<ui::Button> {
 public:
  Win32Button(const ChildSite& site, const ui::Bounds& bounds, std::string_view caption);
};

class Win32Memo final : public WindowedControl<ui::Memo> {
 public:
  Win32Memo(const ChildSite& site, const ui::Bounds& bounds);
  void ScrollLines(int lines) override;

 private:
  void LineAppended() override;
};

}  // namespace platform::win32
