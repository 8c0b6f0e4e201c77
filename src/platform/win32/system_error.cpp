#include "platform/win32/system_error.h"

#include <windows.h>

namespace platform::win32 {

std::string LastErrorText() {
  const DWORD code = GetLastError();
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, text, sizeof text, nullptr);
  // The system's texts end with a line break, which has no place in a box.
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
  if (length == 0) return "System error " + std::to_string(code);
  return std::string(text, length);
}

}  // namespace platform::win32
