// What the bytes before the root element say, read without a parser, and
// which encodings we read. Each parser is handed only documents in one of
// our encodings, so that both agree on what is readable where one of them
// could read more (MSXML reads Shift_JIS, expat does not), and MSXML is
// never handed a DTD at all. Private to the platform library.
#pragma once

#include <string>
#include <string_view>

namespace platform::xml {

struct Prolog {
  // The declaration's encoding name as written; empty without one.
  std::string encoding;
  // A DOCTYPE comes after the declaration, comments and processing
  // instructions, where the grammar allows one.
  bool has_doctype = false;
};

// Reads single bytes, or UTF-16 when a byte-order mark or a first '<' in
// UTF-16 says so. Malformed bytes give what was read up to them: the parser that
// comes next rejects the document anyway.
Prolog ReadProlog(std::string_view bytes);

// The value of the declaration's pseudo-attribute `wanted` in `text` (what
// stands between "<?xml" and "?>"), as written; empty when it is absent.
std::string PseudoAttribute(std::string_view text, std::string_view wanted);

// UTF-8, UTF-16, ISO-8859-1, US-ASCII and windows-1252, in any case.
bool IsReadableEncoding(std::string_view name);

// Encoding names are compared without regard to ASCII case.
bool SameEncodingName(std::string_view a, std::string_view b);

inline constexpr std::string_view kWindows1252 = "windows-1252";

}  // namespace platform::xml
