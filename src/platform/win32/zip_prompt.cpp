// Windows side of the failed-entry prompt: the system's modal message box.
#include <windows.h>

#include "platform/win32/multi_byte.h"
#include "platform/zip_archive.h"

namespace platform::zip {
namespace {

class MessageBoxPrompt final : public EntryFailurePrompt {
 public:
  EntryAnswer Ask(const std::string& text) override {
    switch (MessageBoxW(nullptr, win32::MultiByteToWide(text, CP_UTF8).c_str(), L"Kelvane Updater",
                        MB_ABORTRETRYIGNORE | MB_ICONERROR)) {
      case IDRETRY:
        return EntryAnswer::kRetry;
      case IDIGNORE:
        return EntryAnswer::kIgnore;
      default:
        return EntryAnswer::kAbort;
    }
  }
};

}  // namespace

EntryFailurePrompt& SystemPrompt() {
  static MessageBoxPrompt prompt;
  return prompt;
}

}  // namespace platform::zip
