// The one way both parsers' nodes become our tree (see the header).
#include "platform/xml_tree_builder.h"

#include <algorithm>
#include <utility>

namespace platform::xml {
namespace {

bool IsXmlWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Merging comes first: " " next to "a" is part of the text " a".
void DropBlankText(std::vector<Node>& nodes) {
  std::erase_if(nodes, [](const Node& node) {
    return node.kind == NodeKind::kText &&
           std::all_of(node.value.begin(), node.value.end(), IsXmlWhitespace);
  });
}

}  // namespace

bool TreeBuilder::StartElement(std::string name) {
  // open_ holds the document's list too.
  if (open_.size() > static_cast<std::size_t>(kMaxElementDepth)) return false;
  Add(NodeKind::kElement, std::move(name), {});
  open_.push_back(&Open().back().children);
  return true;
}

void TreeBuilder::EndElement() {
  DropBlankText(Open());
  open_.pop_back();
}

void TreeBuilder::AddText(std::string_view utf8) {
  std::vector<Node>& nodes = Open();
  // A CDATA section was opened as its own node; text joins only text.
  if (in_cdata_ || (!nodes.empty() && nodes.back().kind == NodeKind::kText)) {
    nodes.back().value.append(utf8);
  } else {
    Add(NodeKind::kText, {}, std::string(utf8));
  }
}

void TreeBuilder::StartCData() {
  Add(NodeKind::kCData, {}, {});
  in_cdata_ = true;
}

void TreeBuilder::EndCData() { in_cdata_ = false; }

void TreeBuilder::AddComment(std::string value) { Add(NodeKind::kComment, {}, std::move(value)); }

void TreeBuilder::AddProcessingInstruction(std::string target, std::string data) {
  Add(NodeKind::kProcessingInstruction, std::move(target), std::move(data));
}

ParseResult TreeBuilder::Finish() {
  DropBlankText(top_level_);
  ParseResult result;
  result.status = ParseStatus::kOk;
  result.document.declaration = std::move(declaration_);
  result.document.children = std::move(top_level_);
  return result;
}

void TreeBuilder::Add(NodeKind kind, std::string name, std::string value) {
  Open().push_back(Node{kind, std::move(name), std::move(value), {}});
}

}  // namespace platform::xml
