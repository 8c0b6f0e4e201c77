// Builds our document from a parser's nodes in document order, so that expat's
// callbacks and the MSXML walk give one tree for one document: adjacent
// pieces of text form one node, text that is only whitespace is dropped
// (whitespace-only CDATA is kept: it was written on purpose), and elements
// nest no deeper than kMaxElementDepth. Private to the platform library.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/xml_document.h"

namespace platform::xml {

class TreeBuilder {
 public:
  TreeBuilder() = default;
  // It keeps pointers into its own document.
  TreeBuilder(const TreeBuilder&) = delete;
  TreeBuilder& operator=(const TreeBuilder&) = delete;

  // False, adding nothing, when the element would nest too deeply.
  [[nodiscard]] bool StartElement(std::string name);
  void EndElement();
  // Into the open CDATA section, else onto the text just before, else as a
  // new text node.
  void AddText(std::string_view utf8);
  void StartCData();
  void EndCData();
  void AddComment(std::string value);
  void AddProcessingInstruction(std::string target, std::string data);

  // Filled in by the parser as it reads the declaration.
  Declaration& declaration() { return declaration_; }

  // The document read, once every element is closed.
  ParseResult Finish();

 private:
  std::vector<Node>& Open() { return *open_.back(); }
  void Add(NodeKind kind, std::string name, std::string value);

  Declaration declaration_;
  std::vector<Node> top_level_;
  // The children of the document and of every element not yet closed. Only
  // the innermost list grows, so the outer pointers stay valid.
  std::vector<std::vector<Node>*> open_{&top_level_};
  bool in_cdata_ = false;
};

}  // namespace platform::xml
