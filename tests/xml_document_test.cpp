// The XML reader seam, held to one behaviour on both builds: the same table
// runs against expat natively and against MSXML under Wine. A parsed tree is
// compared as a whole through a compact text form (see Describe).
#include "platform/xml_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_folder.h"

namespace platform::xml {
namespace {

using testing_support::TempFolder;

// name{children} for an element, t"..." text, c"..." CDATA, !"..." a comment,
// ?target"..." a processing instruction; the declaration first as
// xml(version|encoding|standalone) when there is one.
std::string Describe(const Node& node) {
  switch (node.kind) {
    case NodeKind::kElement: {
      std::string text = node.name + "{";
      for (std::size_t i = 0; i < node.children.size(); ++i) {
        if (i > 0) text += ' ';
        text += Describe(node.children[i]);
      }
      return text + "}";
    }
    case NodeKind::kText:
      return "t\"" + node.value + "\"";
    case NodeKind::kCData:
      return "c\"" + node.value + "\"";
    case NodeKind::kComment:
      return "!\"" + node.value + "\"";
    case NodeKind::kProcessingInstruction:
      return "?" + node.name + "\"" + node.value + "\"";
  }
  return "?kind";
}

std::string Describe(const Document& document) {
  std::string text;
  const Declaration& declaration = document.declaration;
  if (declaration.present) {
    text = "xml(" + declaration.version + "|" + declaration.encoding + "|" +
           declaration.standalone + ")";
  }
  for (const Node& node : document.children) {
    if (!text.empty()) text += ' ';
    text += Describe(node);
  }
  return text;
}

// Code units as bytes, a byte-order mark first.
std::string Utf16(std::u16string_view text, bool big_endian) {
  std::u16string units = u"\uFEFF";
  units += text;
  std::string bytes;
  for (const char16_t unit : units) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

std::string BillionLaughs() {
  std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol0 \"lol\">\n";
  for (int level = 1; level <= 9; ++level) {
    text += " <!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) text += "&lol" + std::to_string(level - 1) + ";";
    text += "\">\n";
  }
  return text + "]>\n<lolz>&lol9;</lolz>";
}

std::string Repeated(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string Nested(int depth) { return Repeated("<e>", depth) + Repeated("</e>", depth); }

struct Case {
  std::string name;
  std::string bytes;
  ParseStatus status;
  // Describe(document); empty for a refused document.
  std::string tree;
};

std::vector<Case> Cases() {
  using enum ParseStatus;
  return {
      // Shape of the tree.
      {"minimal", "<r/>", kOk, "r{}"},
      {"nested children in order", "<r><a><b/><c/></a><d/></r>", kOk, "r{a{b{} c{}} d{}}"},
      {"names as written, prefixes and all", "<x:Root xmlns:x=\"urn:k\"><caf\xC3\xA9/></x:Root>",
       kOk, "x:Root{caf\xC3\xA9{}}"},
      {"attributes are not nodes", "<r a=\"1\"><b c='2'>x</b></r>", kOk, "r{b{t\"x\"}}"},
      {"CDATA is its own node", "<r><![CDATA[<not a tag> & ]]></r>", kOk, "r{c\"<not a tag> & \"}"},
      {"text, CDATA, text", "<r>a<![CDATA[b]]>c</r>", kOk, "r{t\"a\" c\"b\" t\"c\"}"},
      {"empty CDATA", "<r><![CDATA[]]></r>", kOk, "r{c\"\"}"},
      {"whitespace-only CDATA is kept", "<r><![CDATA[ ]]></r>", kOk, "r{c\" \"}"},
      {"references merge into one text", "<r>a &amp; b &#233; &#x41;&lt;&gt;&quot;&apos;</r>", kOk,
       "r{t\"a & b \xC3\xA9 A<>\"'\"}"},
      {"whitespace-only text dropped", "<r>\n  <a/>\n\t<b> </b>\r\n</r>", kOk, "r{a{} b{}}"},
      {"whitespace-only text dropped under xml:space", "<r xml:space=\"preserve\">\n  <a/>\n</r>",
       kOk, "r{a{}}"},
      {"surrounding whitespace kept, line ends normalised", "<r>  padded\r\n text \n</r>", kOk,
       "r{t\"  padded\n text \n\"}"},
      {"comments and instructions inside and outside",
       "<!--before--><?first one?>\n<r><!-- in --><?target some data?>x</r>\n<!--after-->", kOk,
       "!\"before\" ?first\"one\" r{!\" in \" ?target\"some data\" t\"x\"} !\"after\""},
      {"a comment splits text", "<r>a<!--c-->b</r>", kOk, "r{t\"a\" !\"c\" t\"b\"}"},
      {"stray nodes in a mirror list stay visible",
       "<mirrors>\n <!-- retired -->\n <m><name>A</name></m>\n stray\n</mirrors>", kOk,
       "mirrors{!\" retired \" m{name{t\"A\"}} t\"\n stray\n\"}"},

      // The declaration, as written.
      {"full declaration",
       "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Configuration/>", kOk,
       "xml(1.0|UTF-8|yes) Configuration{}"},
      {"declaration with version only", "<?xml version=\"1.0\"?><r/>", kOk, "xml(1.0||) r{}"},
      {"declaration, single quotes, standalone no", "<?xml version='1.0' standalone='no'?><r/>",
       kOk, "xml(1.0||no) r{}"},
      {"encoding name keeps its case", "<?xml version=\"1.0\" encoding=\"utf-8\"?><r/>", kOk,
       "xml(1.0|utf-8|) r{}"},

      // Encodings.
      {"UTF-8 without declaration", "<r>\xC3\xA9\xE2\x82\xAC</r>", kOk,
       "r{t\"\xC3\xA9\xE2\x82\xAC\"}"},
      {"UTF-8 with byte-order mark",
       "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\xC3\xA9</r>", kOk,
       "xml(1.0|UTF-8|) r{t\"\xC3\xA9\"}"},
      {"UTF-16LE with byte-order mark",
       Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>\u00E9\u20AC</r>", false), kOk,
       "xml(1.0|UTF-16|) r{t\"\xC3\xA9\xE2\x82\xAC\"}"},
      {"UTF-16BE with byte-order mark", Utf16(u"<r>\u00E9\u20AC</r>", true), kOk,
       "r{t\"\xC3\xA9\xE2\x82\xAC\"}"},
      {"ISO-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xE0\xE9</r>", kOk,
       "xml(1.0|ISO-8859-1|) r{t\"\xC3\xA0\xC3\xA9\"}"},
      {"windows-1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\x80\x92\xE9</r>", kOk,
       "xml(1.0|windows-1252|) r{t\"\xE2\x82\xAC\xE2\x80\x99\xC3\xA9\"}"},
      {"windows-1252 bytes it leaves undefined",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\x81\x8D\x8F\x90\x9D</r>", kOk,
       "xml(1.0|windows-1252|) r{t\"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\"}"},
      {"US-ASCII", "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><r>plain</r>", kOk,
       "xml(1.0|US-ASCII|) r{t\"plain\"}"},
      {"unknown encoding", "<?xml version=\"1.0\" encoding=\"x-kelvane\"?><r/>",
       kUnsupportedEncoding, ""},
      {"encoding that only one parser could read",
       "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><r/>", kUnsupportedEncoding, ""},
      {"encoding named after a BOM of another",
       "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-16\"?><r/>", kNotWellFormed, ""},
      {"US-ASCII with an 8-bit byte", "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><r>\xE9</r>",
       kNotWellFormed, ""},

      // Not well-formed.
      {"empty input", "", kNotWellFormed, ""},
      {"only whitespace", " \n", kNotWellFormed, ""},
      {"only a declaration", "<?xml version=\"1.0\"?>", kNotWellFormed, ""},
      {"unclosed tag", "<r><a></a>", kNotWellFormed, ""},
      {"unclosed start tag", "<r", kNotWellFormed, ""},
      {"two root elements", "<a/><b/>", kNotWellFormed, ""},
      {"mismatched tags", "<r><a></b></r>", kNotWellFormed, ""},
      {"bare ampersand", "<r>a & b</r>", kNotWellFormed, ""},
      {"undefined entity", "<r>&nbsp;</r>", kNotWellFormed, ""},
      {"duplicate attribute", "<r a=\"1\" a=\"2\"/>", kNotWellFormed, ""},
      {"control character U+0001", "<r>\x01</r>", kNotWellFormed, ""},
      {"reference to U+0001", "<r>&#1;</r>", kNotWellFormed, ""},
      {"NUL byte", std::string("<r>\0</r>", 8), kNotWellFormed, ""},
      {"invalid UTF-8 sequence", "<r>\xC3\x28</r>", kNotWellFormed, ""},
      {"byte that UTF-8 never uses", "<r>\xFF</r>", kNotWellFormed, ""},
      {"text before the root", "hello<r/>", kNotWellFormed, ""},
      {"text after the root", "<r/>tail", kNotWellFormed, ""},
      {"< in an attribute value", "<r a=\"<\"/>", kNotWellFormed, ""},
      {"attribute value without quotes", "<r a=1/>", kNotWellFormed, ""},
      {"unterminated comment", "<r><!-- open</r>", kNotWellFormed, ""},
      {"-- inside a comment", "<r><!-- a -- b --></r>", kNotWellFormed, ""},
      {"declaration not at the start", "\n<?xml version=\"1.0\"?><r/>", kNotWellFormed, ""},
      {"declaration inside the root", "<r><?xml version=\"1.0\"?></r>", kNotWellFormed, ""},
      {"standalone other than yes or no", "<?xml version=\"1.0\" standalone=\"maybe\"?><r/>",
       kNotWellFormed, ""},

      // No DTD, ever.
      {"plain DOCTYPE", "<!DOCTYPE mirrors><mirrors/>", kDoctypeRejected, ""},
      {"DOCTYPE after declaration and comment",
       "<?xml version=\"1.0\"?>\n<!-- c --><?pi x?>\n<!DOCTYPE r><r/>", kDoctypeRejected, ""},
      {"internal subset defining an entity",
       "<!DOCTYPE r [<!ENTITY name \"expanded\">]><r>&name;</r>", kDoctypeRejected, ""},
      {"DOCTYPE in UTF-16", Utf16(u"<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>", false),
       kDoctypeRejected, ""},
      {"billion laughs", BillionLaughs(), kDoctypeRejected, ""},

      // Bounds.
      {"nested as deep as allowed", Nested(kMaxElementDepth), kOk,
       Repeated("e{", kMaxElementDepth) + Repeated("}", kMaxElementDepth)},
      {"nested one deeper", Nested(kMaxElementDepth + 1), kLimitExceeded, ""},
  };
}

TEST(XmlDocument, ReadsAndRefusesAsTheTableSays) {
  for (const Case& c : Cases()) {
    const ParseResult result = ParseDocument(c.bytes);
    EXPECT_EQ(result.status, c.status) << c.name << ": " << result.reason;
    EXPECT_EQ(Describe(result.document), c.tree) << c.name;
    if (c.status != ParseStatus::kOk) {
      EXPECT_NE(result.reason, "") << c.name;
    }
  }
}

// Padded with text: Wine's MSXML refuses a comment or a run of whitespace
// of more than 10,000,000 bytes, so those would test its limit, not ours.
TEST(XmlDocument, AcceptsUpTo16MiBAndNoMore) {
  const auto document_of_size = [](std::size_t size) {
    std::string bytes = "<r>";
    bytes.append(size - 7, 'x');
    bytes.append("</r>");
    return bytes;
  };
  const ParseResult largest = ParseDocument(document_of_size(kMaxDocumentBytes));
  ASSERT_EQ(largest.status, ParseStatus::kOk) << largest.reason;
  const Node* root = FindRootElement(largest.document);
  ASSERT_NE(root, nullptr);
  std::string text;
  EXPECT_TRUE(SingleTextOf(*root, text));
  EXPECT_EQ(text.size(), kMaxDocumentBytes - 7);

  EXPECT_EQ(ParseDocument(document_of_size(kMaxDocumentBytes + 1)).status,
            ParseStatus::kLimitExceeded);
}

// Whatever the parser's settings, a DOCTYPE that points at a file must
// reject the document without the file's content showing anywhere.
TEST(XmlDocument, NeverReadsAFileThatADoctypeNames) {
  TempFolder folder;
  constexpr std::string_view kSecret = "kelvane-secret-4f1c";
  const std::string text_file =
      std::filesystem::path(folder.Write("secret.txt", kSecret)).generic_string();
  const std::string dtd_file =
      std::filesystem::path(
          folder.Write("secret.dtd", "<!ENTITY secret \"" + std::string(kSecret) + "\">"))
          .generic_string();
  const std::string documents[] = {
      "<!DOCTYPE r SYSTEM \"" + dtd_file + "\"><r>&secret;</r>",
      "<!DOCTYPE r SYSTEM \"file:///" + dtd_file + "\"><r>&secret;</r>",
      "<!DOCTYPE r [<!ENTITY e SYSTEM \"" + text_file + "\">]><r>&e;</r>",
      "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtd_file + "\"> %p;]><r>&secret;</r>",
  };
  for (const std::string& document : documents) {
    const ParseResult result = ParseDocument(document);
    EXPECT_EQ(result.status, ParseStatus::kDoctypeRejected) << document;
    EXPECT_EQ(result.reason.find(kSecret), std::string::npos) << document;
    EXPECT_EQ(Describe(result.document), "") << document;
  }
}

class XmlHelpers : public testing::Test {
 protected:
  void SetUp() override {
    const ParseResult result = ParseDocument(
        "<?xml version=\"1.0\"?><!-- settings --><?app x?>"
        "<Configuration>"
        "<details>lower</details><Details>TRUE</Details><Details>FALSE</Details>"
        "<AutoClose><![CDATA[FALSE]]></AutoClose><EmptyCData><![CDATA[]]></EmptyCData>"
        "<Element><x>1</x></Element><Mixed>a<x/></Mixed><TextAndCData>a<![CDATA[b]]></TextAndCData>"
        "<Commented><!-- c --></Commented><Empty/><Blank> </Blank>"
        "</Configuration>");
    ASSERT_EQ(result.status, ParseStatus::kOk) << result.reason;
    document_ = result.document;
    root_ = FindRootElement(document_);
    ASSERT_NE(root_, nullptr);
  }

  const Node& Child(std::string_view name) const {
    const Node* child = FindChildElement(*root_, name);
    EXPECT_NE(child, nullptr) << name;
    return child != nullptr ? *child : *root_;
  }

  Document document_;
  const Node* root_ = nullptr;
};

TEST_F(XmlHelpers, FindsTheRootPastCommentsAndInstructions) {
  EXPECT_EQ(root_->name, "Configuration");
  EXPECT_EQ(FindRootElement(Document{}), nullptr);
}

TEST_F(XmlHelpers, FindsTheFirstChildOfExactlyThatName) {
  std::string text;
  EXPECT_TRUE(SingleTextOf(Child("Details"), text));
  EXPECT_EQ(text, "TRUE");
  EXPECT_TRUE(SingleTextOf(Child("details"), text));
  EXPECT_EQ(text, "lower");
  EXPECT_EQ(FindChildElement(*root_, "DETAILS"), nullptr);
  EXPECT_EQ(FindChildElement(*root_, "Detail"), nullptr);
  // Only children: x is a grandchild.
  EXPECT_EQ(FindChildElement(*root_, "x"), nullptr);
}

TEST_F(XmlHelpers, SingleTextOfTakesOneTextOrCDataChildOnly) {
  const struct {
    std::string_view element;
    bool found;
    std::string_view text;
  } cases[] = {
      {"AutoClose", true, "FALSE"}, {"EmptyCData", true, ""},    {"Element", false, ""},
      {"Mixed", false, ""},         {"TextAndCData", false, ""}, {"Commented", false, ""},
      {"Empty", false, ""},         {"Blank", false, ""},
  };
  for (const auto& c : cases) {
    std::string text = "untouched";
    EXPECT_EQ(SingleTextOf(Child(c.element), text), c.found) << c.element;
    EXPECT_EQ(text, c.found ? c.text : "untouched") << c.element;
  }
}

}  // namespace
}  // namespace platform::xml
