// UTF-8 to UTF-16 for the W functions of the window toolkit.
#include "platform/win32/ui_text.h"

#include <windows.h>

#include "platform/win32/multi_byte.h"

namespace platform::win32 {

std::wstring Widen(std::string_view utf8) { return MultiByteToWide(utf8, CP_UTF8); }

}  // namespace platform::win32
