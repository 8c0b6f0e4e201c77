// The XML reader seam: a whole document parsed by the platform's own parser
// (MSXML on Windows, expat on Linux) into a small tree of ours. Both parsers
// are held to one behaviour: well-formed XML only, no DTD at all (a
// DOCTYPE rejects the document, so no entity is ever expanded or fetched),
// the encoding that the declaration names (UTF-8 without one).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform::xml {

enum class NodeKind { kElement, kText, kCData, kComment, kProcessingInstruction };

struct Node {
  NodeKind kind = NodeKind::kElement;
  // Element name, or processing-instruction target; empty otherwise.
  std::string name;
  // Text, CDATA, comment or processing-instruction data, UTF-8.
  std::string value;
  // In document order. Text that is only whitespace is not kept; adjacent
  // pieces of text (entity and character references included) form one node.
  std::vector<Node> children;
};

// The XML declaration's values as written; each empty when absent.
struct Declaration {
  bool present = false;
  std::string version;
  std::string encoding;
  std::string standalone;
};

struct Document {
  Declaration declaration;
  // Top-level nodes in order: comments, processing instructions (not the
  // declaration) and the one root element.
  std::vector<Node> children;
};

enum class ParseStatus {
  kOk,
  kNotWellFormed,       // includes an encoding that does not match the bytes
  kDoctypeRejected,     // any DOCTYPE, internal subset or not
  kUnsupportedEncoding, // the declaration names an encoding we do not read
  kParserUnavailable,   // the platform's parser could not be started
  kLimitExceeded,       // larger than kMaxDocumentBytes, or nested too deeply
};

// The files read are small local settings and mirror lists of a few KiB. The
// bounds keep a stray or hostile file from costing much memory, and they keep
// the parsers' 32-bit lengths and our recursive tree (walked and destroyed
// recursively) far from trouble. (Within them, Wine's MSXML alone refuses a
// single comment or run of whitespace of more than 10,000,000 bytes.)
inline constexpr std::size_t kMaxDocumentBytes = std::size_t{16} << 20;
inline constexpr int kMaxElementDepth = 100;

struct ParseResult {
  ParseStatus status = ParseStatus::kNotWellFormed;
  // For logs and tests, never shown to the user: expat's words with the line
  // and column, or a fixed text for MSXML (whose own text says nothing).
  std::string reason;
  Document document;
};

// Encodings read: UTF-8, UTF-16 (with a byte-order mark), ISO-8859-1,
// windows-1252 and US-ASCII.
ParseResult ParseDocument(std::string_view bytes);

// The first child element of `parent` named exactly `name` (case counts), or
// null.
const Node* FindChildElement(const Node& parent, std::string_view name);
// The document's one top-level element, or null.
const Node* FindRootElement(const Document& document);

// The value of the element's single text or CDATA child, however short (an
// empty CDATA section gives ""); false when it has no child, or another kind
// of child, or more than one.
bool SingleTextOf(const Node& element, std::string& text);

}  // namespace platform::xml
