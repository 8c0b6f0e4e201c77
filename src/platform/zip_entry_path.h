// What an entry's stored name may become on disk: its UTF-8 text, and the
// relative path under the target folder that it names, or none when writing
// it could reach outside that folder or onto a device.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::zip {

// `raw_name` as UTF-8: code page 437 unless the entry's UTF-8 flag is set.
std::string EntryNameToUtf8(std::string_view raw_name, bool utf8_flag);

struct EntryPath {
  std::string relative;  // components joined with '/', never empty
  bool is_folder = false;
};

// nullopt for a name that is empty, absolute, has a drive or network prefix,
// climbs above the target folder with "..", or has a component that Windows
// takes for a device (CON, NUL.txt, ...). '\\' separates like '/'.
std::optional<EntryPath> SafeEntryPath(std::string_view utf8_name);

}  // namespace platform::zip
