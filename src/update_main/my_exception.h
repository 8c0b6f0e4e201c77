// EMyException: a failure text on its way to the run's failure display.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace update_main {

class EMyException : public std::runtime_error {
 public:
  explicit EMyException(std::string_view message) : std::runtime_error(std::string(message)) {}
};

}  // namespace update_main
