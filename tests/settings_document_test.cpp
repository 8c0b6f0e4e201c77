// The settings file's form on disk and the rules by which its texts read.
#include <gtest/gtest.h>

#include "update_main/settings_document.h"

namespace update_main {
namespace {

constexpr std::string_view kFreshFile =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
    "<Configuration>\r\n"
    "  <Details>FALSE</Details>\r\n"
    "</Configuration>\r\n";

TEST(SettingsDocument, WritesTheExactFormOnDisk) {
  SettingsDocument document = SettingsDocument::Parse("");
  document.SetValue("Details", TextFromBoolean(false));
  EXPECT_EQ(document.Serialize(), kFreshFile);

  document = SettingsDocument::Parse(document.Serialize());
  document.SetValue("AutoClose", TextFromBoolean(true));
  EXPECT_EQ(document.Serialize(),
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
            "<Configuration>\r\n"
            "  <Details>FALSE</Details>\r\n"
            "  <AutoClose>TRUE</AutoClose>\r\n"
            "</Configuration>\r\n");
}

TEST(SettingsDocument, KeysMatchWithoutCaseAndKeepTheirPlaceAndSpelling) {
  SettingsDocument document = SettingsDocument::Parse(
      "<Configuration><autoclose>yes</autoclose><DETAILS>no</DETAILS></Configuration>");
  EXPECT_EQ(document.Value("AutoClose"), "yes");
  EXPECT_EQ(document.Value("Details"), "no");
  document.SetValue("Details", "TRUE");
  EXPECT_EQ(document.Serialize(),
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
            "<Configuration>\r\n"
            "  <autoclose>yes</autoclose>\r\n"
            "  <DETAILS>TRUE</DETAILS>\r\n"
            "</Configuration>\r\n");
}

TEST(SettingsDocument, WritesBackTheDeclarationOfTheFileLastRead) {
  const struct {
    std::string_view declaration;
    std::string_view written;
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>",
       "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"},
      {"<?xml version='1.0' encoding='windows-1252'?>",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"},
      {"<?xml version=\"1.0\"?>", "<?xml version=\"1.0\"?>"},
      // No declaration at all: the default one.
      {"", "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"},
  };
  for (const auto& one : cases) {
    const std::string file = std::string(one.declaration) + "<Configuration/>";
    const std::string written = SettingsDocument::Parse(file).Serialize();
    EXPECT_EQ(written.substr(0, written.find("\r\n")), one.written) << one.declaration;
  }
}

TEST(SettingsDocument, UnreadableContentStartsFromTheDefaults) {
  const std::string_view cases[] = {
      "",
      "not xml at all",
      "<Configuration><Details>TRUE</Details>",                 // cut short
      "<Settings><Details>TRUE</Details></Settings>",           // another root
      "<!DOCTYPE Configuration><Configuration><Details>TRUE</Details></Configuration>",
  };
  for (const std::string_view bytes : cases) {
    SettingsDocument document = SettingsDocument::Parse(bytes);
    EXPECT_FALSE(document.Value("Details")) << bytes;
    document.SetValue("Details", "FALSE");
    EXPECT_EQ(document.Serialize(), kFreshFile) << bytes;
  }
}

TEST(SettingsDocument, KeepsOtherValuesInTheFilesEncoding) {
  SettingsDocument document = SettingsDocument::Parse(
      "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"
      "<Configuration><Note>caf\xe9 &amp; th\xe9 &#8364;</Note><Group><A>1</A></Group>"
      "<Details>TRUE</Details></Configuration>");
  document.SetValue("Details", "FALSE");
  // "é" back to one byte, "€" (not in ISO-8859-1) replaced, "&" escaped so
  // that the file stays readable; an element with children is not a value.
  EXPECT_EQ(document.Serialize(),
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
            "<Configuration>\r\n"
            "  <Note>caf\xe9 &amp; th\xe9 _</Note>\r\n"
            "  <Details>FALSE</Details>\r\n"
            "</Configuration>\r\n");
}

TEST(BooleanFromText, FollowsTheTrueListThenTheFalseListThenNumbers) {
  const struct {
    std::string_view text;
    bool value;
  } cases[] = {
      {"TRUE", true},  {"true", true},   {"Yes", true},   {"y", true},    {"1", true},
      {"-2", true},    {"0.5", true},    {"42", true},    {"FALSE", false}, {"no", false},
      {"N", false},    {"0", false},     {"0.0", false},  {"", false},    {"maybe", false},
      {" TRUE", false}, {"1 ", false},   {"nan", false},  {"inf", false}, {"+", false},
  };
  for (const auto& one : cases) {
    EXPECT_EQ(BooleanFromText(one.text), one.value) << '"' << one.text << '"';
  }
}

}  // namespace
}  // namespace update_main
