// 8-bit texts of a given code page to UTF-16, for the W functions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

// `text` in `code_page` (CP_UTF8, CP_ACP) as UTF-16; empty when it is empty
// or too long for the system's conversion.
std::wstring MultiByteToWide(std::string_view text, UINT code_page);

}  // namespace platform::win32
