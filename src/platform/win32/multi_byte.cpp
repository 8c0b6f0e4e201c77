// The one conversion to UTF-16 of the platform library's W calls.
#include "platform/win32/multi_byte.h"

#include <limits>

namespace platform::win32 {

std::wstring MultiByteToWide(std::string_view text, UINT code_page) {
  if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return {};
  }
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace platform::win32
