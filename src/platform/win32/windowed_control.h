// A control shown by a child window of the form: where its window goes, how
// the window is made, and the moving and showing that all such controls
// share.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "platform/ui.h"

namespace platform::win32 {

// What the form lends a control for its window.
struct ChildSite {
  HWND parent = nullptr;
  HFONT font = nullptr;
  int id = 0;
};

struct ChildDesign {
  const wchar_t* class_name = nullptr;
  DWORD style = 0;  // besides WS_CHILD and WS_VISIBLE
  DWORD ex_style = 0;
  std::wstring text{};
  void* owner = nullptr;  // for a class driven through WindowProcedure
};

// A visible child at `bounds`, in the site's font. The parent destroys it.
HWND CreateChildWindow(const ChildSite& site, const ui::Bounds& bounds, const ChildDesign& design);

template <typename Base>
class WindowedControl : public Base {
 public:
  HWND window() const { return window_; }

 protected:
  template <typename... Args>
  explicit WindowedControl(Args&&... args) : Base(std::forward<Args>(args)...) {}

  void BoundsChanged() override {
    SetWindowPos(window_, nullptr, this->bounds().left, this->bounds().top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void VisibilityChanged() override { ShowWindow(window_, this->Visible() ? SW_SHOWNA : SW_HIDE); }

  // Set by the derived constructor. Not owned: the form's window destroys
  // its children.
  HWND window_ = nullptr;
};

}  // namespace platform::win32
