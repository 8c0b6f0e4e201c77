// Reading the prolog without a parser: just enough of the grammar to find
// the declaration's encoding name and a DOCTYPE.
#include "platform/xml_prolog.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace platform::xml {
namespace {

bool IsXmlWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The document's characters seen through ASCII: every other character reads
// as '\x80', the end as '\0'.
class AsciiView {
 public:
  explicit AsciiView(std::string_view bytes) : bytes_(bytes) {
    using namespace std::string_view_literals;
    if (bytes_.starts_with("\xEF\xBB\xBF"sv)) {
      bytes_.remove_prefix(3);
    } else if (bytes_.starts_with("\xFF\xFE"sv) || bytes_.starts_with("\xFE\xFF"sv)) {
      width_ = 2;
      big_endian_ = bytes_[0] == '\xFE';
      bytes_.remove_prefix(2);
    } else if (bytes_.starts_with("<\0"sv) || bytes_.starts_with("\0<"sv)) {
      // Without a byte-order mark, UTF-16 shows in its first '<'.
      width_ = 2;
      big_endian_ = bytes_[0] == '\0';
    }
  }

  char At(std::size_t ahead = 0) const {
    const std::size_t index = (position_ + ahead) * width_;
    if (index + width_ > bytes_.size()) return '\0';
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes_[index + i]); };
    const unsigned unit = width_ == 1   ? byte(0)
                          : big_endian_ ? (byte(0) << 8) | byte(1)
                                        : (byte(1) << 8) | byte(0);
    return unit < 0x80 ? static_cast<char>(unit) : '\x80';
  }

  bool LookingAt(std::string_view ascii) const {
    for (std::size_t i = 0; i < ascii.size(); ++i) {
      if (At(i) != ascii[i]) return false;
    }
    return true;
  }

  void Advance(std::size_t count) { position_ += count; }

  void SkipWhitespace() {
    while (IsXmlWhitespace(At())) Advance(1);
  }

  // Moves to just after the next `ascii`; false when it never comes.
  bool SkipPast(std::string_view ascii) {
    for (; At() != '\0'; Advance(1)) {
      if (LookingAt(ascii)) {
        Advance(ascii.size());
        return true;
      }
    }
    return false;
  }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;  // in code units
  std::size_t width_ = 1;
  bool big_endian_ = false;
};

}  // namespace

// In order, name="value" or name='value', up to the first that is not.
std::string PseudoAttribute(std::string_view text, std::string_view wanted) {
  std::size_t at = 0;
  const auto skip_whitespace = [&] {
    while (at < text.size() && IsXmlWhitespace(text[at])) ++at;
  };
  for (;;) {
    skip_whitespace();
    const std::size_t name_start = at;
    while (at < text.size() && text[at] != '=' && !IsXmlWhitespace(text[at])) ++at;
    const std::string_view name = text.substr(name_start, at - name_start);
    skip_whitespace();
    if (at >= text.size() || text[at] != '=') return {};
    ++at;
    skip_whitespace();
    if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) return {};
    const std::size_t value_end = text.find(text[at], at + 1);
    if (value_end == std::string_view::npos) return {};
    if (name == wanted) return std::string(text.substr(at + 1, value_end - at - 1));
    at = value_end + 1;
  }
}

Prolog ReadProlog(std::string_view bytes) {
  Prolog prolog;
  AsciiView view(bytes);
  if (view.LookingAt("<?xml") && IsXmlWhitespace(view.At(5))) {
    view.Advance(5);
    std::string declaration;
    for (; view.At() != '\0' && !view.LookingAt("?>"); view.Advance(1)) {
      declaration.push_back(view.At());
    }
    if (!view.SkipPast("?>")) return prolog;
    prolog.encoding = PseudoAttribute(declaration, "encoding");
  }
  for (;;) {
    view.SkipWhitespace();
    if (view.LookingAt("<!--")) {
      view.Advance(4);
      if (!view.SkipPast("-->")) break;
    } else if (view.LookingAt("<?")) {
      if (!view.SkipPast("?>")) break;
    } else {
      prolog.has_doctype = view.LookingAt("<!DOCTYPE");
      break;
    }
  }
  return prolog;
}

bool SameEncodingName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsReadableEncoding(std::string_view name) {
  static constexpr std::array<std::string_view, 5> kReadable = {"UTF-8", "UTF-16", "ISO-8859-1",
                                                                "US-ASCII", kWindows1252};
  return std::any_of(kReadable.begin(), kReadable.end(),
                     [&](std::string_view readable) { return SameEncodingName(name, readable); });
}

}  // namespace platform::xml
