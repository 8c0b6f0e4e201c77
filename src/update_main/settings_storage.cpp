#include "update_main/settings_storage.h"

#include <utility>

#include "platform/file_system.h"

namespace update_main {
namespace {

// The file holds two short values; anything larger is not ours.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;

}  // namespace

SettingsStorage::SettingsStorage(std::string path) : path_(std::move(path)) { Reload(); }

SettingsStorage::~SettingsStorage() {
  try {
    Flush();
  } catch (const platform::FileError&) {
  }
}

bool SettingsStorage::ReadBoolean(std::string_view key, bool default_value) {
  Reload();
  const std::optional<std::string> text = document_.Value(key);
  return text ? BooleanFromText(*text) : default_value;
}

void SettingsStorage::WriteBoolean(std::string_view key, bool value) {
  Reload();
  document_.SetValue(key, TextFromBoolean(value));
  Flush();
}

void SettingsStorage::Reload() {
  std::string bytes;
  // A missing or unreadable file reads as the empty document.
  if (!platform::ReadWholeFile(path_, kMaxSettingsBytes, bytes)) bytes.clear();
  document_ = SettingsDocument::Parse(bytes);
}

void SettingsStorage::Flush() {
  if (platform::IsReadOnlyFile(path_)) return;
  platform::WriteWholeFile(path_, document_.Serialize());
}

}  // namespace update_main
