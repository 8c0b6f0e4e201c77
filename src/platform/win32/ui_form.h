// The form: a tool window without a system menu, owned by the application's
// window, with its font and the child windows of its controls. It takes the
// clicks, ticks and close requests and runs their handlers through the
// application's handler guard.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/ui.h"
#include "platform/win32/gdi.h"
#include "platform/win32/window.h"
#include "platform/win32/windowed_control.h"

namespace platform::win32 {

class Win32Application;
class Win32Timer;

class Win32Form final : public ui::Form {
 public:
  // The window exists from here on, hidden until Show.
  Win32Form(Win32Application& application, const ui::FormDesign& design);
  ~Win32Form() override;

  ui::Label& AddLabel(const ui::Bounds& bounds, std::string_view caption) override;
  ui::ProgressBar& AddProgressBar(const ui::Bounds& bounds, int max, ui::Color from,
                                  ui::Color to) override;
  ui::Memo& AddMemo(const ui::Bounds& bounds) override;
  ui::CheckBox& AddCheckBox(const ui::Bounds& bounds, std::string_view caption) override;
  ui::Button& AddButton(const ui::Bounds& bounds, std::string_view caption) override;
  ui::Timer& AddTimer(int interval_ms) override;

  int Width() const override;
  int Height() const override;
  void SetHeight(int height) override;
  int Top() const override;
  int Left() const override;
  void SetTop(int top) override;
  void SetLeft(int left) override;
  void Close() override;
  void RepaintNow() override;

  // Null once the window has been closed.
  HWND window() const { return window_.get(); }
  void Show();
  // The close query's answer, through the handler guard: false when it fails.
  bool CloseRequestAllowed();

  // For WindowProcedure.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  RECT WindowRect() const;
  void MoveTo(int left, int top);
  ChildSite NextSite();
  template <typename Control, typename... Args>
  Control& Emplace(Args&&... args);
  template <typename Control>
  Control& EmplaceClickable(const ui::Bounds& bounds, std::string_view caption);
  void OnTimer(UINT_PTR id);
  void OnFocus();

  Win32Application& application_;
  UniqueWindowClass class_;
  UniqueFont font_;
  std::vector<std::unique_ptr<ui::Control>> controls_;
  std::vector<std::unique_ptr<Win32Timer>> timers_;
  // What a BN_CLICKED of each button window runs.
  std::map<HWND, ui::Handler> clicks_;
  HWND memo_ = nullptr;
  // The child that had the focus when the form was last deactivated.
  HWND last_focus_ = nullptr;
  int next_child_id_;
  // Declared last, so destroyed first: the child windows go with it while
  // the objects that answer their messages still exist.
  UniqueWindow window_;
};

}  // namespace platform::win32
