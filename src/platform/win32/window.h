// Window classes and windows of the toolkit: their owners, their creation,
// and the window procedure that hands a window's messages to the C++ object
// that drives it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

struct WindowTraits {
  using Value = HWND;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { DestroyWindow(value); }
};

// A registered class's atom in the place of its name, as MAKEINTATOM does.
inline LPCWSTR ClassAtom(ATOM atom) {
  return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom));
}

struct WindowClassTraits {
  using Value = ATOM;
  static Value Invalid() { return 0; }
  static void Close(Value value) { UnregisterClassW(ClassAtom(value), GetModuleHandleW(nullptr)); }
};

// A top-level window. A child window has no owner of its own: it goes with
// its parent.
using UniqueWindow = UniqueResource<WindowTraits>;
// A registered class; it must outlive every window of the class.
using UniqueWindowClass = UniqueResource<WindowClassTraits>;

// Throws std::system_error when the class cannot be registered, as when a
// class of that name exists already.
UniqueWindowClass RegisterWindowClass(const std::wstring& name, WNDPROC procedure,
                                      HBRUSH background);

struct WindowDesign {
  const wchar_t* class_name = nullptr;
  std::wstring text{};
  DWORD style = 0;
  DWORD ex_style = 0;
  RECT rect{};            // screen pixels, or the parent's client pixels for a child
  HWND parent = nullptr;  // a child's parent, or a top-level window's owner
  HMENU id = nullptr;     // a child's control identifier
  void* owner = nullptr;  // the object that WindowProcedure<Owner> calls
};

// Throws std::system_error when the window cannot be created.
HWND CreateWindowOrThrow(const WindowDesign& design);

// The procedure of a class whose windows are driven by an Owner: every
// message from WM_NCCREATE to WM_NCDESTROY goes to
// Owner::HandleMessage(window, message, wparam, lparam) of the object given
// as WindowDesign::owner, which must be an Owner*.
template <typename Owner>
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // The owner hears of its window's end, and of nothing after it.
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (owner == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return owner->HandleMessage(window, message, wparam, lparam);
}

}  // namespace platform::win32
