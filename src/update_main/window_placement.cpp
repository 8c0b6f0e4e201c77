// Where the window goes: its bottom-right corner against the taskbar when
// the taskbar lies along the bottom or the right edge, else against the
// screen's corner. The work area is not asked for and nothing is clamped.
#include "update_main/update_form.h"

namespace update_main {

int TUpdateForm::ComputeWindowTop() const {
  const platform::ui::ScreenRect taskbar = application_.TaskbarRect();
  const platform::ui::ScreenRect screen = application_.ScreenRectangle();
  return (taskbar.top != 0 ? taskbar.top : screen.bottom) - window_->Height();
}

int TUpdateForm::ComputeWindowLeft() const {
  const platform::ui::ScreenRect taskbar = application_.TaskbarRect();
  const platform::ui::ScreenRect screen = application_.ScreenRectangle();
  return (taskbar.left != 0 ? taskbar.left : screen.right) - window_->Width();
}

}  // namespace update_main
