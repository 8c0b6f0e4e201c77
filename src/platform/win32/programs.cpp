// Windows side of the other programs: the application's window found by its
// caption and asked to close, and programs started through the shell.
#include "platform/programs.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

namespace platform {

bool AskWindowToClose(const std::string& caption, std::chrono::milliseconds per_message) {
  const HWND window = FindWindowA(nullptr, caption.c_str());
  if (window == nullptr) return false;
  const auto timeout = static_cast<UINT>(per_message.count());
  DWORD_PTR result = 0;
  // A refusal of the end-of-session query changes nothing: the close
  // request follows regardless, as it does when the session really ends.
  SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeout,
                      &result);
  SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeout, &result);
  return true;
}

void StartProgram(const std::string& program) {
  ShellExecuteA(nullptr, "open", program.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

}  // namespace platform
