// Entry names to safe relative paths: decoding from code page 437, then a
// component-by-component check that resolves "." and "..".
#include "platform/zip_entry_path.h"

#include <array>
#include <cstdint>
#include <vector>

namespace platform::zip {
namespace {

// The upper half of code page 437, as Unicode code points.
constexpr std::array<std::uint16_t, 128> kCp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562,
    0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393,
    0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6,
    0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0,
    0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

void AppendUtf8(std::string& text, std::uint16_t code_point) {
  if (code_point < 0x800) {
    text.push_back(static_cast<char>(0xC0 | code_point >> 6));
  } else {
    text.push_back(static_cast<char>(0xE0 | code_point >> 12));
    text.push_back(static_cast<char>(0x80 | (code_point >> 6 & 0x3F)));
  }
  text.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows opens the device for "CON", "con.txt" and "CON .png" alike.
bool IsDeviceName(std::string_view component) {
  std::string stem(component.substr(0, component.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = AsciiUpper(c);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string EntryNameToUtf8(std::string_view raw_name, bool utf8_flag) {
  if (utf8_flag) return std::string(raw_name);
  std::string text;
  text.reserve(raw_name.size());
  for (const char c : raw_name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text.push_back(c);
    } else {
      AppendUtf8(text, kCp437High[byte - 0x80]);
    }
  }
  return text;
}

std::optional<EntryPath> SafeEntryPath(std::string_view utf8_name) {
  // A leading separator is an absolute path, or with two a network share.
  if (utf8_name.empty() || IsSeparator(utf8_name.front())) return std::nullopt;
  std::vector<std::string_view> components;
  std::size_t start = 0;
  while (start <= utf8_name.size()) {
    std::size_t end = start;
    while (end < utf8_name.size() && !IsSeparator(utf8_name[end])) ++end;
    const std::string_view component = utf8_name.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (components.empty()) return std::nullopt;
      components.pop_back();
      continue;
    }
    // ':' is a drive ("C:", "C:x.txt") or, further on, an alternate stream.
    for (const char c : component) {
      if (c == ':' || static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    }
    if (IsDeviceName(component)) return std::nullopt;
    components.push_back(component);
  }
  if (components.empty()) return std::nullopt;
  EntryPath path;
  path.is_folder = IsSeparator(utf8_name.back());
  for (const std::string_view component : components) {
    if (!path.relative.empty()) path.relative.push_back('/');
    path.relative.append(component);
  }
  return path;
}

}  // namespace platform::zip
