// Bytes from the terminal to key commands.
#include "platform/posix/terminal_keys.h"

#include <optional>

namespace platform::posix {
namespace {

constexpr char kEscape = '\x1b';

std::optional<KeyCommand> CommandOf(char key) {
  switch (key) {
    case 'd':
      return KeyCommand::kClickFirstCheckBox;
    case 'a':
      return KeyCommand::kClickSecondCheckBox;
    case 'f':
    case '\r':
    case '\n':
      return KeyCommand::kClickButton;
    case 'q':
    case kEscape:
      return KeyCommand::kClose;
    default:
      return std::nullopt;
  }
}

// The index of the last byte of the arrow or function key's sequence, or of
// the Alt chord, that starts with the ESC at `start`.
std::size_t SkipEscapeSequence(std::string_view bytes, std::size_t start) {
  std::size_t last = start + 1;
  if (bytes[last] == '[' || bytes[last] == 'O') {
    // CSI and SS3 sequences end with a byte from '@' to '~'; parameter bytes
    // come before it.
    ++last;
    while (last < bytes.size() && (bytes[last] < '@' || bytes[last] > '~')) ++last;
  }
  return last;
}

}  // namespace

std::vector<KeyCommand> DecodeKeys(std::string_view bytes) {
  std::vector<KeyCommand> commands;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    // The Escape key arrives as a lone ESC, or as one before another ESC.
    const bool starts_sequence =
        bytes[i] == kEscape && i + 1 < bytes.size() && bytes[i + 1] != kEscape;
    if (starts_sequence) {
      i = SkipEscapeSequence(bytes, i);
      continue;
    }
    if (const auto command = CommandOf(bytes[i])) commands.push_back(*command);
  }
  return commands;
}

std::string_view KeyName(KeyCommand command) {
  switch (command) {
    case KeyCommand::kClickFirstCheckBox:
      return "d";
    case KeyCommand::kClickSecondCheckBox:
      return "a";
    case KeyCommand::kClickButton:
      return "f/Entrée";
    case KeyCommand::kClose:
      return "q/Échap";
  }
  return {};
}

}  // namespace platform::posix
