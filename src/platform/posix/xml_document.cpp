// Linux side of the XML reader seam: expat, with no DTD at all (a DOCTYPE
// stops the parser before its first declaration is read, so no entity is
// ever defined, expanded or fetched), its callbacks turned into our tree.
#include <expat.h>

#include <array>
#include <memory>
#include <string>
#include <utility>

#include "platform/xml_parser_backend.h"
#include "platform/xml_prolog.h"
#include "platform/xml_tree_builder.h"

namespace platform::xml {
namespace {

struct ParserFree {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using UniqueParser = std::unique_ptr<XML_ParserStruct, ParserFree>;

// windows-1252 at 0x80..0x9F (elsewhere it is ISO-8859-1). The five bytes
// that it leaves undefined stand for the C1 controls of the same number, as
// Windows itself (and so MSXML) reads them.
constexpr std::array<int, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Expat reads UTF-8, UTF-16, ISO-8859-1 and US-ASCII itself.
int XMLCALL OnUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
  if (!SameEncodingName(name, kWindows1252)) return XML_STATUS_ERROR;
  for (int byte = 0; byte < 0x100; ++byte) info->map[byte] = byte;
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
    info->map[0x80 + i] = kWindows1252High[i];
  }
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return XML_STATUS_OK;
}

class ExpatReader {
 public:
  explicit ExpatReader(XML_Parser parser) : parser_(parser) {
    XML_SetUserData(parser_, this);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUnknownEncodingHandler(parser_, OnUnknownEncoding, nullptr);
    XML_SetXmlDeclHandler(parser_, OnDeclaration);
    XML_SetStartDoctypeDeclHandler(parser_, OnDoctype);
    XML_SetElementHandler(parser_, OnStartElement, OnEndElement);
    XML_SetCharacterDataHandler(parser_, OnText);
    XML_SetCdataSectionHandler(parser_, OnStartCData, OnEndCData);
    XML_SetCommentHandler(parser_, OnComment);
    XML_SetProcessingInstructionHandler(parser_, OnProcessingInstruction);
  }
  ExpatReader(const ExpatReader&) = delete;
  ExpatReader& operator=(const ExpatReader&) = delete;

  // At most kMaxDocumentBytes, so the length fits expat's int.
  ParseResult Parse(std::string_view bytes) {
    if (XML_Parse(parser_, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) ==
        XML_STATUS_OK) {
      return builder_.Finish();
    }
    if (Stopped()) return Failure(stop_status_, std::move(stop_reason_));
    return Failure(ParseStatus::kNotWellFormed,
                   "line " + std::to_string(XML_GetCurrentLineNumber(parser_)) + ", column " +
                       std::to_string(XML_GetCurrentColumnNumber(parser_)) + ": " +
                       XML_ErrorString(XML_GetErrorCode(parser_)));
  }

 private:
  static ExpatReader& Self(void* data) { return *static_cast<ExpatReader*>(data); }

  // Expat may still call a handler or two after being stopped (the end of
  // an empty element stopped at its start): they must change nothing.
  bool Stopped() const { return stop_status_ != ParseStatus::kOk; }

  void Stop(ParseStatus status, std::string reason) {
    stop_status_ = status;
    stop_reason_ = std::move(reason);
    XML_StopParser(parser_, XML_FALSE);
  }

  static void XMLCALL OnDeclaration(void* data, const XML_Char* version, const XML_Char* encoding,
                                    int standalone) {
    Declaration& declaration = Self(data).builder_.declaration();
    declaration.present = true;
    if (version != nullptr) declaration.version = version;
    if (encoding != nullptr) declaration.encoding = encoding;
    // The grammar allows only these two words.
    if (standalone >= 0) declaration.standalone = standalone == 1 ? "yes" : "no";
  }

  static void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*,
                                int) {
    Self(data).Stop(ParseStatus::kDoctypeRejected, "the document has a DOCTYPE");
  }

  static void XMLCALL OnStartElement(void* data, const XML_Char* name, const XML_Char**) {
    ExpatReader& self = Self(data);
    if (self.Stopped()) return;
    if (!self.builder_.StartElement(name)) {
      self.Stop(ParseStatus::kLimitExceeded,
                "elements nest deeper than " + std::to_string(kMaxElementDepth));
    }
  }

  static void XMLCALL OnEndElement(void* data, const XML_Char*) {
    ExpatReader& self = Self(data);
    if (!self.Stopped()) self.builder_.EndElement();
  }

  static void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    ExpatReader& self = Self(data);
    if (!self.Stopped()) self.builder_.AddText(std::string_view(text, length));
  }

  static void XMLCALL OnStartCData(void* data) {
    ExpatReader& self = Self(data);
    if (!self.Stopped()) self.builder_.StartCData();
  }

  static void XMLCALL OnEndCData(void* data) {
    ExpatReader& self = Self(data);
    if (!self.Stopped()) self.builder_.EndCData();
  }

  static void XMLCALL OnComment(void* data, const XML_Char* text) {
    ExpatReader& self = Self(data);
    if (!self.Stopped()) self.builder_.AddComment(text);
  }

  static void XMLCALL OnProcessingInstruction(void* data, const XML_Char* target,
                                              const XML_Char* text) {
    ExpatReader& self = Self(data);
    if (!self.Stopped()) self.builder_.AddProcessingInstruction(target, text);
  }

  XML_Parser parser_;
  TreeBuilder builder_;
  ParseStatus stop_status_ = ParseStatus::kOk;
  std::string stop_reason_;
};

}  // namespace

ParseResult ParseWithPlatformParser(std::string_view bytes) {
  const UniqueParser parser(XML_ParserCreate(nullptr));
  if (!parser) return Failure(ParseStatus::kParserUnavailable, "expat could not start");
  ExpatReader reader(parser.get());
  return reader.Parse(bytes);
}

}  // namespace platform::xml
