// The XML reader seam: a whole document parsed by the platform's own parser
// (MSXML on Windows, expat on Linux) into a small tree of ours. Both parsers
// are held to one behaviour: well-formed XML only, no DTD at all (a
// DOCTYPE rejects the document, so no entity is ever expanded or fetched),
// the encoding that the declaration names (UTF-8 without one).
#pragma once

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
};

struct ParseResult {
  ParseStatus status = ParseStatus::kNotWellFormed;
  // For logs and tests; the parser's words, not shown to the user.
  std::string reason;
  Document document;
};

// Encodings read: UTF-8, UTF-16 (with a byte-order mark), ISO-8859-1,
// windows-1252 and US-ASCII.
ParseResult ParseDocument(std::string_view bytes);

// The child elements of `parent` (or of nothing) named exactly `name`.
const Node* FindChildElement(const Node& parent, std::string_view name);
const Node* FindRootElement(const Document& document);

// The value of the element's single text or CDATA child; false when it has
// no child, or another kind of child, or more than one.
bool SingleTextOf(const Node& element, std::string& text);

}  // namespace platform::xml
