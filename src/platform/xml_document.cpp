// The portable part of the XML reader seam: the refusals that both builds
// make before their parser sees a byte, finding elements in our tree and
// reading an element's text.
#include "platform/xml_document.h"

#include <algorithm>
#include <utility>

#include "platform/xml_parser_backend.h"
#include "platform/xml_prolog.h"

namespace platform::xml {
namespace {

const Node* FirstElementIn(const std::vector<Node>& nodes, std::string_view name, bool any_name) {
  const auto found = std::find_if(nodes.begin(), nodes.end(), [&](const Node& node) {
    return node.kind == NodeKind::kElement && (any_name || node.name == name);
  });
  return found == nodes.end() ? nullptr : &*found;
}

}  // namespace

ParseResult Failure(ParseStatus status, std::string reason) {
  ParseResult result;
  result.status = status;
  result.reason = std::move(reason);
  return result;
}

ParseResult ParseDocument(std::string_view bytes) {
  if (bytes.size() > kMaxDocumentBytes) {
    return Failure(ParseStatus::kLimitExceeded,
                   "larger than " + std::to_string(kMaxDocumentBytes) + " bytes");
  }
  const std::string encoding = ReadProlog(bytes).encoding;
  if (!encoding.empty() && !IsReadableEncoding(encoding)) {
    return Failure(ParseStatus::kUnsupportedEncoding, "encoding \"" + encoding + "\"");
  }
  return ParseWithPlatformParser(bytes);
}

const Node* FindChildElement(const Node& parent, std::string_view name) {
  return FirstElementIn(parent.children, name, false);
}

// Well-formedness allows only one top-level element, so the first is the one.
const Node* FindRootElement(const Document& document) {
  return FirstElementIn(document.children, {}, true);
}

bool SingleTextOf(const Node& element, std::string& text) {
  if (element.children.size() != 1) return false;
  const Node& only = element.children.front();
  if (only.kind != NodeKind::kText && only.kind != NodeKind::kCData) return false;
  text = only.value;
  return true;
}

}  // namespace platform::xml
