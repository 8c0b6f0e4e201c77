// The system's text for the calling thread's last error, for error boxes.
#pragma once

#include <string>

namespace platform::win32 {

std::string LastErrorText();

}  // namespace platform::win32
