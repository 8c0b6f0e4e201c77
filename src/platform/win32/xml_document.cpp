// Windows side of the XML reader seam: MSXML's DOM (6.0, else 3.0) through
// COM, loaded from a stream over the bytes with every outside resource off,
// then walked into our tree. MSXML never sees a DTD: the prolog is read
// first, and a DOCTYPE that it did not show is still refused after loading.
#include <windows.h>
// After windows.h:
#include <msxml2.h>
#include <objbase.h>
#include <shlwapi.h>

#include <string>
#include <utility>

#include "platform/win32/com_apartment.h"
#include "platform/win32/unique_com.h"
#include "platform/xml_parser_backend.h"
#include "platform/xml_prolog.h"
#include "platform/xml_tree_builder.h"

namespace platform::xml {
namespace {

using win32::UniqueBstr;
using win32::UniqueCom;
using win32::UniqueVariant;

// MinGW's libuuid lacks these.
constexpr CLSID kDomDocument60 = {
    0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
constexpr CLSID kDomDocument30 = {
    0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
constexpr IID kIidDomDocument2 = {
    0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

// parseError's own words are no help (under Wine always "error", line 0).
constexpr const char* kRefused = "MSXML found the document not well-formed";
constexpr const char* kHasDoctype = "the document has a DOCTYPE";

bool Utf8Of(BSTR text, std::string& utf8) {
  utf8.clear();
  // At most kMaxDocumentBytes characters, so the length fits an int.
  const int length = static_cast<int>(SysStringLen(text));
  if (length == 0) return true;
  const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, nullptr, 0,
                                       nullptr, nullptr);
  if (size <= 0) return false;
  utf8.resize(static_cast<std::size_t>(size));
  return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, utf8.data(), size,
                             nullptr, nullptr) == size;
}

bool NameOf(IXMLDOMNode* node, std::string& utf8) {
  BSTR raw = nullptr;
  const HRESULT result = node->get_nodeName(&raw);
  const UniqueBstr name(raw);
  return SUCCEEDED(result) && Utf8Of(name.get(), utf8);
}

// The node's own value, untrimmed: an element's text would be trimmed.
bool ValueOf(IXMLDOMNode* node, std::string& utf8) {
  UniqueVariant value;
  return SUCCEEDED(node->get_nodeValue(value.out())) && value.get().vt == VT_BSTR &&
         Utf8Of(value.get().bstrVal, utf8);
}

UniqueCom<IXMLDOMDocument2> CreateDocument() {
  for (const CLSID* document_class : {&kDomDocument60, &kDomDocument30}) {
    void* raw = nullptr;
    if (SUCCEEDED(CoCreateInstance(*document_class, nullptr, CLSCTX_INPROC_SERVER, kIidDomDocument2,
                                   &raw))) {
      return UniqueCom<IXMLDOMDocument2>(static_cast<IXMLDOMDocument2*>(raw));
    }
  }
  return UniqueCom<IXMLDOMDocument2>();
}

// Synchronous, no validation, nothing fetched. Whitespace is kept as
// written and dropped by the tree builder, as on the other build: left to
// MSXML, xml:space="preserve" would keep whitespace-only text.
bool Configure(IXMLDOMDocument2* document) {
  if (FAILED(document->put_async(VARIANT_FALSE)) ||
      FAILED(document->put_validateOnParse(VARIANT_FALSE)) ||
      FAILED(document->put_resolveExternals(VARIANT_FALSE)) ||
      FAILED(document->put_preserveWhiteSpace(VARIANT_TRUE))) {
    return false;
  }
  // Some versions do not know the property; the prolog check stands anyway.
  const UniqueBstr prohibit_dtd(SysAllocString(L"ProhibitDTD"));
  if (prohibit_dtd) {
    VARIANT on;
    VariantInit(&on);
    on.vt = VT_BOOL;
    on.boolVal = VARIANT_TRUE;
    document->setProperty(prohibit_dtd.get(), on);
  }
  return true;
}

class DomReader {
 public:
  ParseResult Read(IXMLDOMDocument2* document) {
    if (ReadChildren(document, true)) return builder_.Finish();
    return Failure(failure_, std::move(reason_));
  }

 private:
  bool Fail(ParseStatus status, std::string reason) {
    failure_ = status;
    reason_ = std::move(reason);
    return false;
  }

  // Sibling by sibling, every pointer checked before use: a child list's
  // length and its items can disagree (an entity reference's list reports a
  // child that get_item gives as NULL).
  bool ReadChildren(IXMLDOMNode* parent, bool top_level) {
    IXMLDOMNode* raw = nullptr;
    if (FAILED(parent->get_firstChild(&raw))) return Fail(ParseStatus::kNotWellFormed, kRefused);
    UniqueCom<IXMLDOMNode> child(raw);
    for (bool first = true; child; first = false) {
      if (!ReadNode(child.get(), top_level && first)) return false;
      IXMLDOMNode* next = nullptr;
      if (FAILED(child.get()->get_nextSibling(&next))) {
        return Fail(ParseStatus::kNotWellFormed, kRefused);
      }
      child = UniqueCom<IXMLDOMNode>(next);
    }
    return true;
  }

  bool ReadNode(IXMLDOMNode* node, bool may_be_declaration) {
    DOMNodeType type = NODE_INVALID;
    std::string name;
    std::string value;
    if (FAILED(node->get_nodeType(&type))) return Fail(ParseStatus::kNotWellFormed, kRefused);
    switch (type) {
      case NODE_ELEMENT:
        if (!NameOf(node, name)) break;
        if (!builder_.StartElement(std::move(name))) {
          return Fail(ParseStatus::kLimitExceeded,
                      "elements nest deeper than " + std::to_string(kMaxElementDepth));
        }
        if (!ReadChildren(node, false)) return false;
        builder_.EndElement();
        return true;
      case NODE_TEXT:
        if (!ValueOf(node, value)) break;
        builder_.AddText(value);
        return true;
      case NODE_CDATA_SECTION:
        if (!ValueOf(node, value)) break;
        builder_.StartCData();
        builder_.AddText(value);
        builder_.EndCData();
        return true;
      case NODE_COMMENT:
        if (!ValueOf(node, value)) break;
        builder_.AddComment(std::move(value));
        return true;
      case NODE_PROCESSING_INSTRUCTION:
        if (!NameOf(node, name) || !ValueOf(node, value)) break;
        if (may_be_declaration && name == "xml") {
          ReadDeclaration(value);
        } else {
          builder_.AddProcessingInstruction(std::move(name), std::move(value));
        }
        return true;
      default:
        // Entity references among them: without a DTD there can be none.
        return Fail(ParseStatus::kNotWellFormed,
                    "unexpected node of type " + std::to_string(static_cast<int>(type)));
    }
    return Fail(ParseStatus::kNotWellFormed, "a node's name or value could not be read");
  }

  // MSXML shows the declaration as an "xml" instruction. Wine's has no
  // attributes, but its value, like Windows', is the declaration's text.
  void ReadDeclaration(std::string_view text) {
    Declaration& declaration = builder_.declaration();
    declaration.present = true;
    declaration.version = PseudoAttribute(text, "version");
    declaration.encoding = PseudoAttribute(text, "encoding");
    declaration.standalone = PseudoAttribute(text, "standalone");
  }

  TreeBuilder builder_;
  ParseStatus failure_ = ParseStatus::kNotWellFormed;
  std::string reason_;
};

}  // namespace

ParseResult ParseWithPlatformParser(std::string_view bytes) {
  // MSXML 6.0 refuses a DTD itself (ProhibitDTD) but says only that it
  // failed, and Wine's ignores the setting: decided here, the answer is the
  // same everywhere and MSXML is given no DTD to expand.
  if (ReadProlog(bytes).has_doctype) return Failure(ParseStatus::kDoctypeRejected, kHasDoctype);

  // Declared first, so that it outlives every COM object below.
  const win32::ComApartment apartment;
  if (!apartment.usable()) return Failure(ParseStatus::kParserUnavailable, "COM did not start");
  const UniqueCom<IXMLDOMDocument2> document = CreateDocument();
  if (!document) return Failure(ParseStatus::kParserUnavailable, "no MSXML 6.0 or 3.0");
  if (!Configure(document.get())) {
    return Failure(ParseStatus::kParserUnavailable, "MSXML refused its settings");
  }
  // A copy of the bytes; at most kMaxDocumentBytes, so the size fits.
  const UniqueCom<IStream> stream(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                                    static_cast<UINT>(bytes.size())));
  if (!stream) return Failure(ParseStatus::kParserUnavailable, "no memory stream");

  VARIANT source;  // borrows the stream's reference: nothing to clear
  VariantInit(&source);
  source.vt = VT_UNKNOWN;
  source.punkVal = stream.get();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (FAILED(document.get()->load(source, &loaded)) || loaded != VARIANT_TRUE) {
    return Failure(ParseStatus::kNotWellFormed, kRefused);
  }

  IXMLDOMDocumentType* raw_doctype = nullptr;
  const HRESULT doctype_result = document.get()->get_doctype(&raw_doctype);
  const UniqueCom<IXMLDOMDocumentType> doctype(raw_doctype);
  if (FAILED(doctype_result) || doctype) {
    return Failure(ParseStatus::kDoctypeRejected, kHasDoctype);
  }
  return DomReader().Read(document.get());
}

}  // namespace platform::xml
