// Windows side of the code-page seam: UTF-8 to UTF-16 to the ANSI code page.
#include "platform/code_page.h"

#include <windows.h>

#include <limits>

namespace platform {

std::string ToSystemCodePage(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return {};
  }
  const int size = static_cast<int>(utf8.size());
  const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wide_length);
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
