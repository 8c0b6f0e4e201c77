// The form's timer: a system timer of the form's window, armed while the
// model says it is enabled. The form's window procedure takes its WM_TIMER.
#pragma once

#include <windows.h>

#include "platform/ui.h"

namespace platform::win32 {

class Win32Timer final : public ui::Timer {
 public:
  // Armed at once, as a new timer is enabled.
  Win32Timer(HWND form, UINT_PTR id, int interval_ms);
  ~Win32Timer() override;

 private:
  void EnabledChanged() override;
  void Arm();
  void Disarm();

  HWND form_;
  UINT_PTR id_;
};

}  // namespace platform::win32
