// POSIX side of the failed-entry prompt: no box to show, so the text goes to
// the error output and the entry is skipped.
#include <iostream>

#include "platform/zip_archive.h"

namespace platform::zip {
namespace {

class StderrPrompt final : public EntryFailurePrompt {
 public:
  EntryAnswer Ask(const std::string& text) override {
    std::cerr << text << '\n';
    return EntryAnswer::kIgnore;
  }
};

}  // namespace

EntryFailurePrompt& SystemPrompt() {
  static StderrPrompt prompt;
  return prompt;
}

}  // namespace platform::zip
