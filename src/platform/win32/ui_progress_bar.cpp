// Drawing of the progress bar and its answers to the progress-bar messages.
#include "platform/win32/ui_progress_bar.h"

#include <commctrl.h>

#include <cstdlib>

#include "platform/win32/gdi.h"

namespace platform::win32 {
namespace {

// `numerator` / `denominator` of the way from `from` to `to`, per channel.
ui::Color Mix(ui::Color from, ui::Color to, int numerator, int denominator) {
  ui::Color mixed = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((from >> shift) & 0xFF);
    const int b = static_cast<int>((to >> shift) & 0xFF);
    const int channel =
        (a * (denominator - numerator) + b * numerator + denominator / 2) / denominator;
    mixed |= static_cast<ui::Color>(channel) << shift;
  }
  return mixed;
}

// Two gradients meeting at the middle line: `from` there, `to` at the top
// and bottom rows. One FillRect per row.
void FillGradient(HDC dc, const RECT& area, ui::Color from, ui::Color to) {
  const int rows = area.bottom - area.top;
  const auto brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  for (int row = 0; row < rows; ++row) {
    // Twice the distance from the middle line, against its largest value.
    const int distance = std::abs(2 * row - (rows - 1));
    SetDCBrushColor(dc, rows > 1 ? Mix(from, to, distance, rows - 1) : from);
    const RECT line{area.left, area.top + row, area.right, area.top + row + 1};
    FillRect(dc, &line, brush);
  }
}

}  // namespace

UniqueWindowClass RegisterProgressBarClass() {
  // No background: the bar paints every pixel, and erasing first would flicker.
  return RegisterWindowClass(kProgressBarClass, &WindowProcedure<Win32ProgressBar>, nullptr);
}

Win32ProgressBar::Win32ProgressBar(const ChildSite& site, const ui::Bounds& bounds, int max,
                                   ui::Color from, ui::Color to)
    : WindowedControl(bounds, max, from, to) {
  window_ = CreateChildWindow(site, bounds, {.class_name = kProgressBarClass, .owner = this});
}

LRESULT Win32ProgressBar::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wparam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case PBM_GETPOS:
      return Position();
    case PBM_GETRANGE:
      if (auto* range = reinterpret_cast<PBRANGE*>(lparam)) {
        range->iLow = Min();
        range->iHigh = Max();
      }
      return wparam ? Min() : Max();
    case PBM_GETBARCOLOR:
      return static_cast<LRESULT>(BarColorFrom());
    default:
      // The PBM_SET* messages end here too, and change nothing.
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

void Win32ProgressBar::BarChanged() { InvalidateRect(window_, nullptr, FALSE); }

void Win32ProgressBar::Paint(HWND window) const {
  PaintDc paint(window);
  RECT client{};
  GetClientRect(window, &client);
  // Drawn off screen and copied in one piece, so that no half-drawn bar shows.
  UniqueMemoryDc memory(CreateCompatibleDC(paint.get()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
  if (!memory || !bitmap) return;
  ObjectSelection selection(memory.get(), bitmap.get());
  Draw(memory.get(), client);
  BitBlt(paint.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void Win32ProgressBar::Draw(HDC dc, const RECT& client) const {
  FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
  RECT inside = client;
  InflateRect(&inside, -1, -1);
  if (inside.right <= inside.left || inside.bottom <= inside.top) return;
  const int filled = Max() > 0 ? MulDiv(inside.right - inside.left, Position(), Max()) : 0;
  RECT bar = inside;
  bar.right = inside.left + filled;
  FillGradient(dc, bar, BarColorFrom(), BarColorTo());
  RECT empty = inside;
  empty.left = bar.right;
  FillRect(dc, &empty, GetSysColorBrush(COLOR_WINDOW));
}

}  // namespace platform::win32
