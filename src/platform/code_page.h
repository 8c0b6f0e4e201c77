// The system's single-byte code page, in which the program keeps the texts
// that go to the platform's 8-bit calls (paths, addresses).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// `utf8` in the system code page: the ANSI code page on Windows, where a
// character it cannot hold becomes what the system's conversion makes of it;
// unchanged elsewhere, where the system's encoding is UTF-8.
std::string ToSystemCodePage(std::string_view utf8);

// The first `count` characters of `text` in the system code page; where a
// character takes several bytes, it is never cut in the middle.
std::string FirstCharacters(std::string_view text, std::size_t count);

}  // namespace platform
