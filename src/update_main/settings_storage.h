// The settings file "update.xml" beside the program: read again from disk
// before every access, written after every change and once more at the end,
// so that a change another program makes meanwhile is kept.
#pragma once

#include <string>
#include <string_view>

#include "update_main/settings_document.h"

namespace update_main {

class SettingsStorage {
 public:
  // Reads `path` once, as the window does while it is being created.
  explicit SettingsStorage(std::string path);
  SettingsStorage(const SettingsStorage&) = delete;
  SettingsStorage& operator=(const SettingsStorage&) = delete;
  // Writes the document as the last access left it; a failure here has no
  // one left to tell and is ignored.
  ~SettingsStorage();

  bool ReadBoolean(std::string_view key, bool default_value);
  // Skipped silently for a read-only file; throws platform::FileError when
  // the file cannot be created or written.
  void WriteBoolean(std::string_view key, bool value);

  const std::string& path() const { return path_; }

 private:
  void Reload();
  void Flush();

  std::string path_;
  SettingsDocument document_;
};

}  // namespace update_main
