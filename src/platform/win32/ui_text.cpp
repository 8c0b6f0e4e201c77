// UTF-8 to UTF-16 for the W functions of the window toolkit.
#include "platform/win32/ui_text.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace platform::win32 {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  // MultiByteToWideChar counts in int; no text of the window comes near it.
  if (utf8.size() > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long");
  const int length = static_cast<int>(utf8.size());
  const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), wide_length);
  return wide;
}

}  // namespace platform::win32
