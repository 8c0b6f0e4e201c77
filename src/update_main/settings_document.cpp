#include "update_main/settings_document.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "platform/xml_document.h"

namespace update_main {
namespace {

constexpr std::string_view kRootName = "Configuration";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::array<std::string_view, 3> kTrueTexts = {"TRUE", "YES", "Y"};
constexpr std::array<std::string_view, 3> kFalseTexts = {"FALSE", "NO", "N"};
// What a character that the file's encoding cannot hold is written as.
constexpr char kInvalidCharReplacement = '_';

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// Decimal numbers only: from_chars alone would also take "nan" and "inf".
bool IsNumber(std::string_view text, double& number) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) {
    return false;
  }
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size();
}

// The encodings that the file can be written in, one byte per character.
enum class ByteEncoding { kUtf8, kLatin1, kWindows1252, kAscii, kOther };

ByteEncoding EncodingNamed(const std::optional<std::string>& name) {
  if (!name || EqualsIgnoringCase(*name, "utf-8")) return ByteEncoding::kUtf8;
  for (std::string_view latin1 : {"iso-8859-1", "latin1", "iso_8859-1", "l1"}) {
    if (EqualsIgnoringCase(*name, latin1)) return ByteEncoding::kLatin1;
  }
  if (EqualsIgnoringCase(*name, "windows-1252")) return ByteEncoding::kWindows1252;
  if (EqualsIgnoringCase(*name, "us-ascii")) return ByteEncoding::kAscii;
  return ByteEncoding::kOther;
}

// The code points of windows-1252's bytes 0x80 to 0x9f; 0 where it has none.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

// Decodes one UTF-8 sequence at `text[i]`, advancing `i`; an invalid one
// gives U+FFFD, which no single-byte encoding holds.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  const int extra = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : -1;
  if (extra < 0 || i + static_cast<std::size_t>(extra) > text.size()) return 0xfffd;
  char32_t code = lead & (0x3f >> extra);
  for (int k = 0; k < extra; ++k) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xc0) != 0x80) return 0xfffd;
    code = (code << 6) | (next & 0x3f);
    ++i;
  }
  return code;
}

char SingleByteOf(char32_t code, ByteEncoding encoding) {
  if (code < 0x80) return static_cast<char>(code);
  if (encoding == ByteEncoding::kLatin1 && code <= 0xff) return static_cast<char>(code);
  if (encoding == ByteEncoding::kWindows1252) {
    if (code >= 0xa0 && code <= 0xff) return static_cast<char>(code);
    const auto* found = std::find(kWindows1252High.begin(), kWindows1252High.end(), code);
    if (code != 0 && found != kWindows1252High.end()) {
      return static_cast<char>(0x80 + (found - kWindows1252High.begin()));
    }
  }
  return kInvalidCharReplacement;
}

std::string Encode(std::string_view utf8, ByteEncoding encoding) {
  if (encoding == ByteEncoding::kUtf8) return std::string(utf8);
  std::string bytes;
  for (std::size_t i = 0; i < utf8.size();) bytes += SingleByteOf(NextCodePoint(utf8, i), encoding);
  return bytes;
}

// Our own values never need it; a kept value from elsewhere may, and written
// raw it would make the whole file unreadable.
std::string Escaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace

SettingsDocument SettingsDocument::Parse(std::string_view bytes) {
  const platform::xml::ParseResult parsed = platform::xml::ParseDocument(bytes);
  const platform::xml::Node* root = platform::xml::FindRootElement(parsed.document);
  SettingsDocument document;
  if (parsed.status != platform::xml::ParseStatus::kOk || root == nullptr ||
      root->name != kRootName) {
    return document;
  }
  const platform::xml::Declaration& declaration = parsed.document.declaration;
  if (declaration.present) {
    document.version_ = declaration.version;
    document.encoding_.reset();
    if (!declaration.encoding.empty()) document.encoding_ = declaration.encoding;
    if (!declaration.standalone.empty()) document.standalone_ = declaration.standalone;
    // A file in an encoding that takes more than a byte per character is
    // written back in the default one rather than with a false declaration.
    if (EncodingNamed(document.encoding_) == ByteEncoding::kOther) {
      document.encoding_ = "iso-8859-1";
    }
  }
  for (const platform::xml::Node& child : root->children) {
    if (child.kind != platform::xml::NodeKind::kElement) continue;
    std::string text;
    // Elements with children of their own are no values of ours: dropped.
    if (!child.children.empty() && !platform::xml::SingleTextOf(child, text)) continue;
    if (!document.Value(child.name)) document.entries_.push_back({child.name, text});
  }
  return document;
}

std::optional<std::string> SettingsDocument::Value(std::string_view key) const {
  for (const Entry& entry : entries_) {
    if (EqualsIgnoringCase(entry.name, key)) return entry.text;
  }
  return std::nullopt;
}

void SettingsDocument::SetValue(std::string_view key, std::string_view text) {
  for (Entry& entry : entries_) {
    if (EqualsIgnoringCase(entry.name, key)) {
      entry.text = text;
      return;
    }
  }
  entries_.push_back({std::string(key), std::string(text)});
}

std::string SettingsDocument::Serialize() const {
  const ByteEncoding encoding = EncodingNamed(encoding_);
  std::string out = "<?xml version=\"" + version_ + "\"";
  if (encoding_) out += " encoding=\"" + *encoding_ + "\"";
  if (standalone_) out += " standalone=\"" + *standalone_ + "\"";
  out += "?>";
  out += kLineEnd;
  out += "<" + std::string(kRootName) + ">";
  out += kLineEnd;
  for (const Entry& entry : entries_) {
    const std::string name = Encode(entry.name, encoding);
    if (entry.text.empty()) {
      out += "  <" + name + "/>";
    } else {
      out += "  <" + name + ">" + Encode(Escaped(entry.text), encoding) + "</" + name + ">";
    }
    out += kLineEnd;
  }
  out += "</" + std::string(kRootName) + ">";
  out += kLineEnd;
  return out;
}

bool BooleanFromText(std::string_view text) {
  const auto in = [text](const auto& list) {
    return std::any_of(list.begin(), list.end(),
                       [text](std::string_view entry) { return EqualsIgnoringCase(text, entry); });
  };
  if (in(kTrueTexts)) return true;
  if (in(kFalseTexts)) return false;
  double number = 0;
  return IsNumber(text, number) && number != 0;
}

std::string_view TextFromBoolean(bool value) { return value ? kTrueTexts[0] : kFalseTexts[0]; }

}  // namespace update_main
