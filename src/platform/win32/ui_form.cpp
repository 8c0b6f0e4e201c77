// The form's window, its layout calls, and the dispatch of its messages.
#include "platform/win32/ui_form.h"

#include <utility>

#include "platform/win32/ui_application.h"
#include "platform/win32/ui_controls.h"
#include "platform/win32/ui_progress_bar.h"
#include "platform/win32/ui_text.h"
#include "platform/win32/ui_timer.h"

namespace platform::win32 {
namespace {

// A thin caption and no system menu, hence no close, minimise or maximise
// box; no sizing border.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
// No taskbar button of its own: the application's window carries it.
constexpr DWORD kFormExStyle = WS_EX_TOOLWINDOW;
// Above IDOK and IDCANCEL, which the dialog keys of IsDialogMessage send.
constexpr int kFirstChildId = 100;

UniqueFont CreateFormFont() {
  // Tahoma, 8 points at 96 pixels per inch.
  return UniqueFont(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

}  // namespace

Win32Form::Win32Form(Win32Application& application, const ui::FormDesign& design)
    : application_(application),
      class_(
          RegisterWindowClass(Widen(design.class_name), &WindowProcedure<Win32Form>,
                              reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)))),
      font_(CreateFormFont()),
      next_child_id_(kFirstChildId) {
  RECT outer{0, 0, design.client_width, design.client_height};
  AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  OffsetRect(&outer, -outer.left, -outer.top);
  window_.reset(CreateWindowOrThrow({
      .class_name = ClassAtom(class_.get()),
      .text = Widen(design.caption),
      .style = kFormStyle,
      .ex_style = kFormExStyle,
      .rect = outer,
      .parent = application_.window(),
      .owner = this,
  }));
  application_.AdoptForm(*this);
}

Win32Form::~Win32Form() { application_.ForgetForm(*this); }

ChildSite Win32Form::NextSite() { return {window_.get(), font_.get(), next_child_id_++}; }

template <typename Control, typename... Args>
Control& Win32Form::Emplace(Args&&... args) {
  auto control = std::make_unique<Control>(NextSite(), std::forward<Args>(args)...);
  Control& added = *control;
  controls_.push_back(std::move(control));
  return added;
}

template <typename Control>
Control& Win32Form::EmplaceClickable(const ui::Bounds& bounds, std::string_view caption) {
  Control& control = Emplace<Control>(bounds, caption);
  clicks_.emplace(control.window(), [&control] { control.Click(); });
  return control;
}

ui::Label& Win32Form::AddLabel(const ui::Bounds& bounds, std::string_view caption) {
  return Emplace<Win32Label>(bounds, caption);
}

ui::ProgressBar& Win32Form::AddProgressBar(const ui::Bounds& bounds, int max, ui::Color from,
                                           ui::Color to) {
  return Emplace<Win32ProgressBar>(bounds, max, from, to);
}

ui::Memo& Win32Form::AddMemo(const ui::Bounds& bounds) {
  auto& memo = Emplace<Win32Memo>(bounds);
  memo_ = memo.window();
  return memo;
}

ui::CheckBox& Win32Form::AddCheckBox(const ui::Bounds& bounds, std::string_view caption) {
  return EmplaceClickable<Win32CheckBox>(bounds, caption);
}

ui::Button& Win32Form::AddButton(const ui::Bounds& bounds, std::string_view caption) {
  return EmplaceClickable<Win32Button>(bounds, caption);
}

ui::Timer& Win32Form::AddTimer(int interval_ms) {
  const UINT_PTR id = timers_.size() + 1;
  return *timers_.emplace_back(std::make_unique<Win32Timer>(window_.get(), id, interval_ms));
}

RECT Win32Form::WindowRect() const {
  RECT rect{};
  GetWindowRect(window_.get(), &rect);
  return rect;
}

int Win32Form::Width() const {
  const RECT rect = WindowRect();
  return rect.right - rect.left;
}

int Win32Form::Height() const {
  const RECT rect = WindowRect();
  return rect.bottom - rect.top;
}

void Win32Form::SetHeight(int height) {
  SetWindowPos(window_.get(), nullptr, 0, 0, Width(), height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32Form::Top() const { return WindowRect().top; }

int Win32Form::Left() const { return WindowRect().left; }

void Win32Form::SetTop(int top) { MoveTo(Left(), top); }

void Win32Form::SetLeft(int left) { MoveTo(left, Top()); }

void Win32Form::MoveTo(int left, int top) {
  SetWindowPos(window_.get(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::Show() { ShowWindow(window_.get(), SW_SHOWNORMAL); }

bool Win32Form::CloseRequestAllowed() {
  bool allowed = false;
  application_.RunHandler([this, &allowed] { allowed = CloseAllowed(); });
  return allowed;
}

void Win32Form::Close() {
  if (!window_ || !CloseRequestAllowed()) return;
  window_.reset();
  if (application_.IsMainForm(*this)) application_.Terminate();
}

void Win32Form::RepaintNow() {
  RedrawWindow(window_.get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32Form::OnTimer(UINT_PTR id) {
  if (id == 0 || id > timers_.size()) return;
  Win32Timer& timer = *timers_[id - 1];
  application_.RunHandler([&timer] { timer.Tick(); });
}

void Win32Form::OnFocus() {
  HWND target = last_focus_ != nullptr && IsChild(window_.get(), last_focus_)
                    ? last_focus_
                    : GetNextDlgTabItem(window_.get(), nullptr, FALSE);
  if (target != nullptr) SetFocus(target);
}

LRESULT Win32Form::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        const auto click = clicks_.find(reinterpret_cast<HWND>(lparam));
        if (click != clicks_.end()) application_.RunHandler(click->second);
        return 0;
      }
      break;
    case WM_TIMER:
      OnTimer(wparam);
      return 0;
    case WM_CLOSE:
      // Alt+F4, another program, the taskbar through the application's
      // window: all ask the close query first.
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      return CloseRequestAllowed() ? TRUE : FALSE;
    case WM_CTLCOLORSTATIC:
      // A read-only edit asks as a static would, and would get the face
      // colour: the log keeps the window colour of a text field.
      if (memo_ != nullptr && reinterpret_cast<HWND>(lparam) == memo_) {
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) last_focus_ = GetFocus();
      break;
    case WM_SETFOCUS:
      // Activation gives the focus to the form itself; the keyboard belongs
      // to its controls, as in a dialog.
      OnFocus();
      return 0;
    case WM_NCDESTROY:
      // Destroyed by the system (with its owner, for one): nothing is left
      // to destroy.
      static_cast<void>(window_.release());
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace platform::win32
