// The settings file's content in memory: the XML declaration to write back
// and the values under the root element "Configuration", in the order in
// which they were first created; read from and written to the exact form on
// disk (CR LF line ends, two-space indent, "TRUE"/"FALSE").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace update_main {

class SettingsDocument {
 public:
  // The document held by `bytes`. Bytes that are not a well-formed settings
  // file give the empty document with the default declaration, so that a
  // damaged file costs the user two check boxes and nothing more.
  static SettingsDocument Parse(std::string_view bytes);

  // The text of `key`, whose name is matched without regard to letter case.
  std::optional<std::string> Value(std::string_view key) const;
  // Replaces the text of an existing key in place, or appends the key.
  void SetValue(std::string_view key, std::string_view text);

  // The file's bytes, in the encoding that the declaration names.
  std::string Serialize() const;

 private:
  struct Entry {
    std::string name;
    std::string text;  // UTF-8
  };

  std::string version_ = "1.0";
  std::optional<std::string> encoding_ = "iso-8859-1";
  std::optional<std::string> standalone_;
  std::vector<Entry> entries_;
};

// How a stored text reads as a boolean: the true list "TRUE, YES, Y", then
// the false list "FALSE, NO, N", both without regard to letter case; then a
// number (true when not zero); anything else is false.
bool BooleanFromText(std::string_view text);

// What a boolean is stored as.
std::string_view TextFromBoolean(bool value);

}  // namespace update_main
