// Arming and disarming the form's system timers.
#include "platform/win32/ui_timer.h"

#include <algorithm>

namespace platform::win32 {

Win32Timer::Win32Timer(HWND form, UINT_PTR id, int interval_ms)
    : Timer(interval_ms), form_(form), id_(id) {
  Arm();
}

Win32Timer::~Win32Timer() {
  if (Enabled()) Disarm();
}

void Win32Timer::EnabledChanged() {
  if (Enabled()) {
    Arm();
  } else {
    Disarm();
  }
}

void Win32Timer::Arm() {
  SetTimer(form_, id_, static_cast<UINT>(std::max(IntervalMs(), 0)), nullptr);
}

void Win32Timer::Disarm() { KillTimer(form_, id_); }

}  // namespace platform::win32
