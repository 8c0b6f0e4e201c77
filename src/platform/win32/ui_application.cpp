// The application's window, the message loop and the error box.
#include <winsock2.h>

#include "platform/win32/ui_application.h"

#include "platform/tcp_socket.h"
#include "platform/win32/ui_form.h"
#include "platform/win32/ui_progress_bar.h"
#include "platform/win32/ui_text.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {
namespace {

// Never seen itself: no size, only the taskbar button with its system menu.
constexpr DWORD kApplicationStyle =
    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;

ui::ScreenRect ToScreenRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

Win32Application::Win32Application()
    : class_(RegisterWindowClass(kApplicationClass, &WindowProcedure<Win32Application>, nullptr)),
      progress_bar_class_(RegisterProgressBarClass()) {
  window_.reset(CreateWindowOrThrow({
      .class_name = ClassAtom(class_.get()),
      .style = kApplicationStyle,
      .owner = this,
  }));
}

void Win32Application::SetTitle(std::string_view title) {
  title_ = title;
  SetWindowTextW(window_.get(), Widen(title).c_str());
}

std::unique_ptr<ui::Form> Win32Application::CreateForm(const ui::FormDesign& design) {
  return std::make_unique<Win32Form>(*this, design);
}

void Win32Application::AdoptForm(Win32Form& form) {
  if (main_form_ == nullptr) main_form_ = &form;
}

void Win32Application::ForgetForm(const Win32Form& form) {
  if (main_form_ == &form) main_form_ = nullptr;
}

void Win32Application::Run(ui::Form& main_form) {
  auto& form = static_cast<Win32Form&>(main_form);
  main_form_ = &form;
  // The taskbar button first, without taking the activation from the form.
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
  form.Show();
  MSG message{};
  while (!terminated_) {
    // 0: WM_QUIT; -1 cannot happen without a window filter, but must not spin.
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
      terminated_ = true;
      break;
    }
    Dispatch(message);
  }
}

void Win32Application::Terminate() { PostQuitMessage(0); }

void Win32Application::ProcessMessages() {
  MSG message{};
  while (!terminated_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Taken for good: Run ends as soon as control returns to it.
      terminated_ = true;
      break;
    }
    Dispatch(message);
  }
}

bool Win32Application::WaitForSocket(std::intptr_t socket, bool for_writing,
                                     std::chrono::milliseconds at_most) {
  using std::chrono::milliseconds;
  if (!net::WaitForSocket(socket, for_writing, milliseconds(0))) {
    // The socket signals an event, and the wait ends for it or for any
    // input to the window, whichever comes first.
    const UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const auto handle = static_cast<SOCKET>(socket);
    const long events = for_writing ? FD_WRITE | FD_CONNECT | FD_CLOSE : FD_READ | FD_CLOSE;
    if (event && WSAEventSelect(handle, event.get(), events) == 0) {
      const HANDLE waited = event.get();
      MsgWaitForMultipleObjects(1, &waited, FALSE, static_cast<DWORD>(at_most.count()),
                                QS_ALLINPUT);
      // Leaves the socket non-blocking, as it was.
      WSAEventSelect(handle, nullptr, 0);
    }
  }
  ProcessMessages();
  return net::WaitForSocket(socket, for_writing, milliseconds(0));
}

void Win32Application::Dispatch(MSG& message) {
  // Tab and Shift+Tab between the form's controls.
  HWND form = main_form_ != nullptr ? main_form_->window() : nullptr;
  if (form != nullptr && IsDialogMessageW(form, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Application::ShowError(std::string_view text) {
  HWND owner = main_form_ != nullptr ? main_form_->window() : nullptr;
  MessageBoxW(owner, Widen(text).c_str(), Widen(title_).c_str(), MB_OK | MB_ICONERROR);
}

ui::ScreenRect Win32Application::TaskbarRect() const {
  RECT rect{};
  HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  if (taskbar == nullptr || !GetWindowRect(taskbar, &rect)) return {};
  return ToScreenRect(rect);
}

ui::ScreenRect Win32Application::ScreenRectangle() const {
  RECT rect{};
  GetClientRect(GetDesktopWindow(), &rect);
  return ToScreenRect(rect);
}

LRESULT Win32Application::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      // The taskbar's close command: the main form decides.
      if (main_form_ != nullptr) main_form_->Close();
      return 0;
    case WM_QUERYENDSESSION:
      return main_form_ == nullptr || main_form_->CloseRequestAllowed() ? TRUE : FALSE;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace platform::win32

namespace platform::ui {

std::unique_ptr<Application> CreateNativeApplication() {
  return std::make_unique<win32::Win32Application>();
}

}  // namespace platform::ui
