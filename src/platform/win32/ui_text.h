// The toolkit's texts are UTF-8; the windows take UTF-16. This is the one
// place where the two meet.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// Invalid UTF-8 sequences come out as U+FFFD.
std::wstring Widen(std::string_view utf8);

}  // namespace platform::win32
