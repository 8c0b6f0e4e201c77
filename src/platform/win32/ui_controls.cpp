// The system controls of the form, shown from the portable model.
#include "platform/win32/ui_controls.h"

#include "platform/win32/gdi.h"
#include "platform/win32/ui_text.h"

namespace platform::win32 {
namespace {

// Changes the text without painting it: it shows at the form's next
// repaint or when messages flow, like any other change. A static control
// paints a new text at once unless its redrawing is off.
void SetTextUnpainted(HWND window, const std::wstring& text) {
  // WM_SETREDRAW TRUE makes a window visible: a hidden one needs no guard.
  const bool visible = (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible) SendMessageW(window, WM_SETREDRAW, FALSE, 0);
  SetWindowTextW(window, text.c_str());
  if (visible) SendMessageW(window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

Win32Label::Win32Label(const ChildSite& site, const ui::Bounds& bounds, std::string_view caption)
    : WindowedControl(bounds, caption), font_(site.font) {
  std::wstring text = Widen(caption);
  window_ = CreateChildWindow(
      site, bounds, {.class_name = L"Static", .style = SS_LEFT | SS_NOPREFIX, .text = text});
  FitWidthTo(text);
}

void Win32Label::CaptionChanged() {
  const std::wstring text = Widen(Caption());
  SetTextUnpainted(window_, text);
  FitWidthTo(text);
}

void Win32Label::FitWidthTo(const std::wstring& text) {
  SIZE extent{};
  {
    WindowDc dc(window_);
    ObjectSelection font(dc.get(), font_);
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  }
  SetWindowPos(window_, nullptr, 0, 0, extent.cx, bounds().height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32CheckBox::Win32CheckBox(const ChildSite& site, const ui::Bounds& bounds,
                             std::string_view caption)
    : WindowedControl(bounds, caption) {
  window_ = CreateChildWindow(
      site, bounds,
      {.class_name = L"Button", .style = BS_CHECKBOX | WS_TABSTOP, .text = Widen(caption)});
}

void Win32CheckBox::CheckedChanged() {
  SendMessageW(window_, BM_SETCHECK, Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

Win32Button::Win32Button(const ChildSite& site, const ui::Bounds& bounds, std::string_view caption)
    : WindowedControl(bounds, caption) {
  window_ = CreateChildWindow(
      site, bounds,
      {.class_name = L"Button", .style = BS_PUSHBUTTON | WS_TABSTOP, .text = Widen(caption)});
}

Win32Memo::Win32Memo(const ChildSite& site, const ui::Bounds& bounds) : WindowedControl(bounds) {
  // No ES_AUTOHSCROLL: long lines wrap, and there is no horizontal bar.
  window_ = CreateChildWindow(
      site, bounds,
      {.class_name = L"Edit",
       .style = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL | WS_VSCROLL,
       .ex_style = WS_EX_CLIENTEDGE});
  // 0 lifts the default limit of 30,000 characters: the log has none.
  SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);
}

void Win32Memo::ScrollLines(int lines) { SendMessageW(window_, EM_LINESCROLL, 0, lines); }

void Win32Memo::LineAppended() {
  std::wstring text = Widen(Lines().back());
  text += L"\r\n";
  const int end = GetWindowTextLengthW(window_);
  SendMessageW(window_, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace platform::win32
