// Windows side of the code-page seam: UTF-8 to UTF-16 to the ANSI code page.
#include "platform/code_page.h"

#include <windows.h>

#include "platform/win32/multi_byte.h"

namespace platform {

std::string ToSystemCodePage(std::string_view utf8) {
  const std::wstring wide = win32::MultiByteToWide(utf8, CP_UTF8);
  if (wide.empty()) return {};
  const auto wide_length = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, text.data(), length, nullptr, nullptr);
  return text;
}

// The ANSI code pages of the program's users hold a character in a byte.
std::string FirstCharacters(std::string_view text, std::size_t count) {
  return std::string(text.substr(0, count));
}

}  // namespace platform
