// POSIX side of the code-page seam: the system's encoding is UTF-8.
#include "platform/code_page.h"

namespace platform {

std::string ToSystemCodePage(std::string_view utf8) { return std::string(utf8); }

std::string FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t characters = 0; end < text.size() && characters < count; ++characters) {
    ++end;
    // Continuation bytes belong to the character they follow.
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80) ++end;
  }
  return std::string(text.substr(0, end));
}

}  // namespace platform
