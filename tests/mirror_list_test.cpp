// Reading the mirror list: all entries or none, and what the window shows.
#include <gtest/gtest.h>

#include <filesystem>

#include "update_form_fixture.h"
#include "update_main/bar_colors.h"

namespace update_main {
namespace {

using MirrorListTest = UpdateFormTest;

std::string Entry(std::string_view name, std::string_view base = "http://h/",
                  std::string_view ask_url = "ask.php", std::string_view dl_url = "files/") {
  return "<mirror><name>" + std::string(name) + "</name><base>" + std::string(base) +
         "</base><ask_url>" + std::string(ask_url) + "</ask_url><dl_url>" + std::string(dl_url) +
         "</dl_url></mirror>";
}

std::string List(std::string_view entries) {
  return "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<mirrors>" + std::string(entries) +
         "</mirrors>\n";
}

TEST_F(MirrorListTest, ReadsEveryEntryInFileOrder) {
  const struct {
    const char* what;
    std::string file;
    std::vector<std::string> names;
  } cases[] = {
      {"one entry", List(Entry("P")), {"P"}},
      {"three entries", List(Entry("P") + Entry("Q") + Entry("R")), {"P", "Q", "R"}},
      {"indented, blank lines between entries",
       List("\n  " + Entry("P") + "\n\n  \t" + Entry("Q") + "\n"), {"P", "Q"}},
      {"an entry element of another name",
       List(Entry("P") + "<other><name>Q</name><base>b</base><ask_url>a</ask_url>"
                         "<dl_url>d</dl_url></other>"),
       {"P", "Q"}},
      {"fields in reverse order, a fifth element, attributes on the entry",
       List("<mirror id=\"7\"><dl_url>d</dl_url><ask_url>a</ask_url><extra>x</extra>"
            "<base>b</base><name>P</name></mirror>"),
       {"P"}},
      {"a name given twice: the first counts",
       List("<m><name>First</name><name>Second</name><base>b</base><ask_url>a</ask_url>"
            "<dl_url>d</dl_url></m>"),
       {"First"}},
      {"CDATA and references",
       List("<m><name><![CDATA[A & <B>]]></name><base>b</base><ask_url>a?x=1&amp;y=2"
            "</ask_url><dl_url>d</dl_url></m>"),
       {"A & <B>"}},
      {"comments outside the root",
       "<?xml version=\"1.0\"?><!-- list --><mirrors>" + Entry("P") + "</mirrors><!-- end -->",
       {"P"}},
  };
  for (const auto& one : cases) {
    folder_.Write("mirrors.xml", one.file);
    TUpdateForm& form = CreateForm();
    ASSERT_TRUE(form.LoadMirrorList()) << one.what;
    ASSERT_EQ(form.Mirrors.Count(), one.names.size()) << one.what;
    for (std::size_t i = 0; i < one.names.size(); ++i) {
      EXPECT_EQ(form.Mirrors.At(static_cast<MirrorIndex>(i)).name, one.names[i]) << one.what;
    }
    EXPECT_EQ(form.JvMemo.Lines(),
              (std::vector<std::string>{"- Verification de la liste",
                                        "- Mise en cache des mirroirs", "- Liste chargée"}))
        << one.what;
    EXPECT_EQ(form.SecondaryBar.Position(), 2);
    EXPECT_EQ(form.SecondaryBar.Max(), 2);
    EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kNormalColors.from);
    EXPECT_EQ(form.SecondaryLabel.Caption(), "Mise en cache des mirroirs");
    DestroyForm();
  }
}

TEST_F(MirrorListTest, KeepsTheFieldsAsTheyStandAndCutsThemTo255Characters) {
  const std::string long_base = "http://" + std::string(293, 'h');
  folder_.Write("mirrors.xml", List(Entry(" P ", long_base, "/k/ask.php", "/k/")));
  TUpdateForm& form = CreateForm();
  ASSERT_TRUE(form.LoadMirrorList());
  const MirrorRecord& mirror = form.Mirrors.At(0);
  EXPECT_EQ(mirror.name, " P ") << "nothing is trimmed";
  EXPECT_EQ(mirror.base, long_base.substr(0, 255));
  EXPECT_EQ(mirror.ask_url, "/k/ask.php");
  EXPECT_EQ(mirror.dl_url, "/k/");
}

TEST_F(MirrorListTest, AnyFaultFailsTheWholeRead) {
  const struct {
    const char* what;
    const char* file;  // nullptr: no file at all
  } cases[] = {
      {"no file", nullptr},
      {"an empty file", ""},
      {"not well-formed", "<mirrors><mirror>"},
      {"a DOCTYPE", "<!DOCTYPE mirrors><mirrors></mirrors>"},
      {"another top element", "<Mirrors><m><name>P</name></m></Mirrors>"},
      {"mirrors deeper in the tree", "<list><mirrors></mirrors></list>"},
      {"mirrors without children", "<mirrors></mirrors>"},
      {"mirrors with whitespace only", "<mirrors>\n  \n</mirrors>"},
      {"the third entry lacks dl_url",
       "<mirrors><m><name>P</name><base>b</base><ask_url>a</ask_url><dl_url>d</dl_url></m>"
       "<m><name>Q</name><base>b</base><ask_url>a</ask_url><dl_url>d</dl_url></m>"
       "<m><name>R</name><base>b</base><ask_url>a</ask_url></m></mirrors>"},
      {"an empty field",
       "<mirrors><m><name></name><base>b</base><ask_url>a</ask_url><dl_url>d</dl_url></m>"
       "</mirrors>"},
      {"an empty CDATA field",
       "<mirrors><m><name><![CDATA[]]></name><base>b</base><ask_url>a</ask_url>"
       "<dl_url>d</dl_url></m></mirrors>"},
      {"a field with an element inside",
       "<mirrors><m><name><b>P</b></name><base>b</base><ask_url>a</ask_url><dl_url>d</dl_url>"
       "</m></mirrors>"},
      {"a field with mixed content",
       "<mirrors><m><name>P<![CDATA[Q]]></name><base>b</base><ask_url>a</ask_url>"
       "<dl_url>d</dl_url></m></mirrors>"},
      {"fields as attributes",
       "<mirrors><m name=\"P\" base=\"b\" ask_url=\"a\" dl_url=\"d\"/></mirrors>"},
      {"a comment inside mirrors",
       "<mirrors><!-- P --><m><name>P</name><base>b</base><ask_url>a</ask_url>"
       "<dl_url>d</dl_url></m></mirrors>"},
      {"text inside mirrors",
       "<mirrors>x<m><name>P</name><base>b</base><ask_url>a</ask_url><dl_url>d</dl_url></m>"
       "</mirrors>"},
  };
  for (const auto& one : cases) {
    std::filesystem::remove(folder_.path() / "mirrors.xml");
    if (one.file) folder_.Write("mirrors.xml", one.file);
    TUpdateForm& form = CreateForm();
    form.SecondaryLabel.SetCaption("before");
    EXPECT_FALSE(form.LoadMirrorList()) << one.what;
    EXPECT_TRUE(form.Mirrors.Empty()) << one.what;
    EXPECT_EQ(form.JvMemo.Lines().back(), "- Erreur lors de la lecture") << one.what;
    EXPECT_EQ(form.SecondaryBar.Position(), 2) << one.what;
    EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kFailureColors.from) << one.what;
    EXPECT_EQ(form.RunMessage, "") << one.what;
    DestroyForm();
  }
}

TEST_F(MirrorListTest, ReadsTheListBesideTheProgramWhateverTheCurrentFolder) {
  testing_support::TempFolder elsewhere;
  elsewhere.Write("mirrors.xml", List(Entry("P")));
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  TUpdateForm& form = CreateForm();
  const bool loaded = form.LoadMirrorList();
  std::filesystem::current_path(previous);
  EXPECT_FALSE(loaded);
}

TEST_F(MirrorListTest, KeepsOnlyTheMirrorsThatAnIndexCanName) {
  std::string entries;
  for (int i = 0; i < 300; ++i) entries += Entry(std::string("M").append(std::to_string(i)));
  folder_.Write("mirrors.xml", List(entries));
  TUpdateForm& form = CreateForm();
  ASSERT_TRUE(form.LoadMirrorList());
  EXPECT_EQ(form.Mirrors.Count(), 255u);
  EXPECT_EQ(form.Mirrors.At(254).name, "M254");
}

}  // namespace
}  // namespace update_main
