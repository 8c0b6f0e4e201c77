// Registration and creation of the toolkit's windows; a failure becomes an
// exception where it happens, with the system's error code.
#include "platform/win32/window.h"

#include <system_error>

namespace platform::win32 {
namespace {

[[noreturn]] void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

}  // namespace

UniqueWindowClass RegisterWindowClass(const std::wstring& name, WNDPROC procedure,
                                      HBRUSH background) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = background;
  window_class.lpszClassName = name.c_str();
  const ATOM atom = RegisterClassExW(&window_class);
  if (atom == 0) ThrowLastError("RegisterClassExW");
  return UniqueWindowClass(atom);
}

HWND CreateWindowOrThrow(const WindowDesign& design) {
  HWND window = CreateWindowExW(
      design.ex_style, design.class_name, design.text.c_str(), design.style, design.rect.left,
      design.rect.top, design.rect.right - design.rect.left, design.rect.bottom - design.rect.top,
      design.parent, design.id, GetModuleHandleW(nullptr), design.owner);
  if (window == nullptr) ThrowLastError("CreateWindowExW");
  return window;
}

}  // namespace platform::win32
