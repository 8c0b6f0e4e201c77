// Owners of the GDI objects and device contexts that the toolkit makes or
// borrows: each is given back exactly once, in the way its kind requires.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

template <typename Handle>
struct GdiObjectTraits {
  using Value = Handle;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { DeleteObject(value); }
};

struct MemoryDcTraits {
  using Value = HDC;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { DeleteDC(value); }
};

using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
// What CreateCompatibleDC returns.
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

// A window's device context from GetDC, for the scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The device context of one WM_PAINT, from BeginPaint to EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(window_, &paint_); }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a device context for the scope; the one it
// replaced goes back in at the end, so that the object can be deleted.
class ObjectSelection {
 public:
  ObjectSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ObjectSelection(const ObjectSelection&) = delete;
  ObjectSelection& operator=(const ObjectSelection&) = delete;
  ~ObjectSelection() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace platform::win32
