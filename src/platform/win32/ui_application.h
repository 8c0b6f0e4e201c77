// The application object: a small top-level window that carries the
// taskbar button and forwards the taskbar's requests to the main form, the
// message loop, and the error box.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/ui.h"
#include "platform/win32/window.h"

namespace platform::win32 {

class Win32Form;

inline constexpr wchar_t kApplicationClass[] = L"KelvaneApplication";

// Its forms must be destroyed before it.
class Win32Application final : public ui::Application {
 public:
  Win32Application();

  void SetTitle(std::string_view title) override;
  std::unique_ptr<ui::Form> CreateForm(const ui::FormDesign& design) override;
  void Run(ui::Form& main_form) override;
  void Terminate() override;
  void ProcessMessages() override;
  bool Terminated() const override { return terminated_; }
  // Wakes for the socket and for the window's input alike.
  bool WaitForSocket(std::intptr_t socket, bool for_writing,
                     std::chrono::milliseconds at_most) override;
  void ShowError(std::string_view text) override;
  ui::ScreenRect TaskbarRect() const override;
  ui::ScreenRect ScreenRectangle() const override;

  // For the forms: the owner of their windows.
  HWND window() const { return window_.get(); }
  // The first form adopted is the main form; Run names it again.
  void AdoptForm(Win32Form& form);
  void ForgetForm(const Win32Form& form);
  bool IsMainForm(const Win32Form& form) const { return main_form_ == &form; }

  // For WindowProcedure.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void Dispatch(MSG& message);

  UniqueWindowClass class_;
  UniqueWindowClass progress_bar_class_;
  std::string title_;
  Win32Form* main_form_ = nullptr;
  bool terminated_ = false;
  // Declared last, so destroyed first, before the classes.
  UniqueWindow window_;
};

}  // namespace platform::win32
