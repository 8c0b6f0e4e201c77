// The keys of the terminal window. A terminal has no pointer to click with,
// so each clickable control gets a key by its order of creation on the form:
// `d` clicks the first check box ("Détails"), `a` the second one ("Fermer
// quand terminé"), `f` or Enter the first button ("Fermer"); `q` or Escape
// is a close request, which the form's close query may refuse, as Alt+F4
// does on a window.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace platform::posix {

enum class KeyCommand { kClickFirstCheckBox, kClickSecondCheckBox, kClickButton, kClose };

// In the order of the help line.
inline constexpr std::array kKeyCommands = {KeyCommand::kClickFirstCheckBox,
                                            KeyCommand::kClickSecondCheckBox,
                                            KeyCommand::kClickButton, KeyCommand::kClose};

// The commands in `bytes`, as read from a terminal in non-canonical mode, in
// their order. Other keys, arrow and function keys and Alt chords give none.
std::vector<KeyCommand> DecodeKeys(std::string_view bytes);

// The keys of `command` as the help line names them.
std::string_view KeyName(KeyCommand command);

}  // namespace platform::posix
