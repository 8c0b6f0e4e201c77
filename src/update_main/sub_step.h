// A sub-step as the window shows it: its label, and its line in the log.
#pragma once

#include <string_view>

namespace update_main {

struct SubStep {
  std::string_view label;
  std::string_view line;
};

}  // namespace update_main
