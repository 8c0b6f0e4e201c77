// Writing a whole buffer to a descriptor with write(2) alone, so that it is
// unbuffered and also safe in a signal handler.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace platform::posix {

// False when the descriptor refuses the bytes, e.g. a closed pipe.
inline bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace platform::posix
