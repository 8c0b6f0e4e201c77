// The progress bar: a window class of the toolkit's own that draws the
// model's two-gradient bar and answers other programs the way the system's
// progress bar does (PBM_GETPOS, PBM_GETRANGE, PBM_GETBARCOLOR). It takes no
// order from outside: the model alone sets position, range and colours.
#pragma once

#include <windows.h>

#include "platform/ui.h"
#include "platform/win32/window.h"
#include "platform/win32/windowed_control.h"

namespace platform::win32 {

inline constexpr wchar_t kProgressBarClass[] = L"KelvaneProgressBar";

// The class of every bar; the application registers it once.
UniqueWindowClass RegisterProgressBarClass();

class Win32ProgressBar final : public WindowedControl<ui::ProgressBar> {
 public:
  Win32ProgressBar(const ChildSite& site, const ui::Bounds& bounds, int max, ui::Color from,
                   ui::Color to);

  // For WindowProcedure.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  // Painted at the form's next repaint, or when messages flow.
  void BarChanged() override;
  void Paint(HWND window) const;
  void Draw(HDC dc, const RECT& client) const;

  // Kept and given back, as the system's bar does, though no text is drawn.
  HFONT font_ = nullptr;
};

}  // namespace platform::win32
