// Reading the updater's window from another process.
#include "support/updater_window.h"

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/win32/gdi.h"
#include "support/wait_until.h"

namespace testing_support {

namespace {

// The form's children of one class, in creation order.
std::vector<HWND> ChildrenOfClass(HWND form, std::wstring_view class_name) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(form, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == class_name) children.push_back(child);
  }
  return children;
}

}  // namespace

std::wstring TextOf(HWND window) {
  // The log of a whole run is a few thousand characters; SMTO_ABORTIFHUNG
  // keeps a window that stopped answering from hanging the test.
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length) == 0) {
    return L"";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, 5000, &copied) == 0) {
    return L"";
  }
  text.resize(copied);
  return text;
}

std::string Utf8TextOf(HWND window) {
  const std::wstring wide = TextOf(window);
  if (wide.empty()) return "";
  const int wide_length = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, text.data(), length, nullptr, nullptr);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

bool NearColor(COLORREF actual, COLORREF expected) {
  for (const int shift : {0, 8, 16}) {
    const int a = static_cast<int>((actual >> shift) & 0xff);
    const int e = static_cast<int>((expected >> shift) & 0xff);
    if (std::abs(a - e) > 3) return false;
  }
  return true;
}

HWND UpdaterWindow::FindForm(std::chrono::milliseconds timeout) {
  HWND form = nullptr;
  WaitUntil(
      [&form] {
        form = FindWindowW(L"TUpdateForm", L"Mise à jour de Kelvane");
        return form != nullptr && IsWindowVisible(form);
      },
      timeout);
  return form != nullptr && IsWindowVisible(form) ? form : nullptr;
}

UpdaterWindow::UpdaterWindow(HWND form)
    : form_(form),
      labels_(ChildrenOfClass(form, L"Static")),
      bars_(ChildrenOfClass(form, L"KelvaneProgressBar")),
      buttons_(ChildrenOfClass(form, L"Button")),
      memos_(ChildrenOfClass(form, L"Edit")) {}

bool UpdaterWindow::complete() const {
  return labels_.size() == 2 && bars_.size() == 2 && buttons_.size() == 3 && memos_.size() == 1;
}

std::string UpdaterWindow::Log() const {
  std::string log = Utf8TextOf(memo());
  std::string lines;
  lines.reserve(log.size());
  for (const char c : log) {
    if (c != '\r') lines.push_back(c);
  }
  return lines;
}

int UpdaterWindow::Position(HWND bar) {
  return static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
}

int UpdaterWindow::Maximum(HWND bar) {
  return static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
}

COLORREF UpdaterWindow::Color(HWND bar) {
  return static_cast<COLORREF>(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0));
}

bool UpdaterWindow::Checked(HWND check) {
  return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void UpdaterWindow::Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

Screenshot::Screenshot()
    : width_(GetSystemMetrics(SM_CXSCREEN)), height_(GetSystemMetrics(SM_CYSCREEN)) {
  using platform::win32::ObjectSelection;
  const platform::win32::WindowDc screen(nullptr);
  const platform::win32::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  const platform::win32::UniqueBitmap bitmap(
      CreateCompatibleBitmap(screen.get(), width_, height_));
  {
    const ObjectSelection selection(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width_, height_, screen.get(), 0, 0, SRCCOPY);
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = height_;  // bottom row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  rows_.resize(static_cast<std::size_t>(((width_ * 3 + 3) & ~3) * height_));
  const int copied = GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height_),
                               rows_.data(), &info, DIB_RGB_COLORS);
  if (copied != height_) throw std::runtime_error("the screen could not be read");
}

COLORREF Screenshot::At(int x, int y) const {
  const int stride = (width_ * 3 + 3) & ~3;
  const std::size_t at = static_cast<std::size_t>((height_ - 1 - y) * stride + x * 3);
  return RGB(rows_.at(at + 2), rows_.at(at + 1), rows_.at(at));
}

void Screenshot::Save(const std::filesystem::path& file) const {
  BITMAPFILEHEADER header{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width_;
  info.biHeight = height_;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(rows_.size());
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof(header) + sizeof(info);
  header.bfSize = header.bfOffBits + info.biSizeImage;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  out.write(reinterpret_cast<const char*>(rows_.data()), static_cast<std::streamsize>(rows_.size()));
}

}  // namespace testing_support
