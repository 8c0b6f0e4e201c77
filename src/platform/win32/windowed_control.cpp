// Creation of the controls' child windows.
#include "platform/win32/windowed_control.h"

#include "platform/win32/window.h"

namespace platform::win32 {

HWND CreateChildWindow(const ChildSite& site, const ui::Bounds& bounds, const ChildDesign& design) {
  HWND window = CreateWindowOrThrow({
      .class_name = design.class_name,
      .text = design.text,
      .style = WS_CHILD | WS_VISIBLE | design.style,
      .ex_style = design.ex_style,
      .rect = {bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height},
      .parent = site.parent,
      .id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(site.id)),
      .owner = design.owner,
  });
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(site.font), FALSE);
  return window;
}

}  // namespace platform::win32
