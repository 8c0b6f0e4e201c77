// The mirror search: which mirror is dropped, which is chosen, and what the
// window shows; the reachability test is played by a substitute.
#include <gtest/gtest.h>

#include <set>

#include "update_form_fixture.h"
#include "update_main/bar_colors.h"
#include "update_main/mirror_host.h"

namespace update_main {
namespace {

TEST(MirrorHost, KeepsWhatStandsBetweenTheSchemeAndTheTrailingSlashes) {
  const struct {
    std::string_view base;
    std::string_view host;
  } cases[] = {
      {"http://miroir.example/", "miroir.example"},
      {"http://miroir.example", "miroir.example"},
      {"http://miroir.example//", "miroir.example"},
      {"miroir.example/", "miroir.example"},
      {"HTTP://miroir.example/", "HTTP://miroir.example"},
      {"http://miroir.example:8080/", "miroir.example:8080"},
      {"http://miroir.example/kelvane/", "miroir.example/kelvane"},
      {"http://", "http:"},
      {"http:///", ""},
      {"http:////", ""},
      {"///", ""},
      {"/", ""},
  };
  for (const auto& one : cases) EXPECT_EQ(MirrorHost(one.base), one.host) << one.base;
}

class MirrorSelectionTest : public UpdateFormTest {
 protected:
  TUpdateForm& FormWithMirrors(const std::vector<std::string>& hosts) {
    TUpdateForm& form = CreateForm();
    for (const std::string& host : hosts) {
      MirrorRecord& mirror = form.Mirrors.Append();
      mirror.name = host;
      mirror.base = "http://" + host + "/";
      mirror.ask_url = "ask.php";
      mirror.dl_url = "files/";
    }
    form.PingHost = [this](const std::string& host) {
      pinged_.push_back(host);
      return answering_.count(host) != 0 ? 1 : 0;
    };
    return form;
  }
  std::vector<std::string> Names(const TUpdateForm& form) const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < form.Mirrors.Count(); ++i) {
      names.push_back(form.Mirrors.At(static_cast<MirrorIndex>(i)).name);
    }
    return names;
  }

  std::set<std::string> answering_;
  std::vector<std::string> pinged_;
};

TEST_F(MirrorSelectionTest, UsesTheReachableMirrorsInFileOrderEachAtMostOnce) {
  answering_ = {"q", "r"};
  TUpdateForm& form = FormWithMirrors({"p", "q", "r"});
  MirrorIndex mirror = kNoMirror;

  ASSERT_TRUE(form.FindAvailableMirror(mirror));
  EXPECT_EQ(mirror, 1);
  EXPECT_EQ(pinged_, (std::vector<std::string>{"p", "q"}));
  EXPECT_EQ(form.JvMemo.Lines(),
            (std::vector<std::string>{"- Test des mirroirs", "- Mirroir disponible trouvé"}));
  EXPECT_EQ(form.SecondaryBar.Max(), 3);
  EXPECT_EQ(form.SecondaryBar.Position(), 3);

  // q fails a later step: it is dropped, p is tested again, r is chosen.
  pinged_.clear();
  ASSERT_TRUE(form.FindAvailableMirror(mirror));
  EXPECT_EQ(Names(form), (std::vector<std::string>{"p", "r"}));
  EXPECT_EQ(mirror, 1) << "r's new index";
  EXPECT_EQ(pinged_, (std::vector<std::string>{"p", "r"}));
  EXPECT_EQ(form.JvMemo.Lines()[2], "- Suppression du mirroir précédent");
  EXPECT_EQ(form.SecondaryBar.Max(), 3) << "counted before the removal";

  // r fails in turn: nothing that answers is left.
  pinged_.clear();
  EXPECT_FALSE(form.FindAvailableMirror(mirror));
  EXPECT_EQ(Names(form), std::vector<std::string>{"p"});
  EXPECT_EQ(pinged_, std::vector<std::string>{"p"});
  EXPECT_EQ(form.JvMemo.Lines().back(), "- Aucun mirroir disponible");
  EXPECT_EQ(form.SecondaryBar.Position(), form.SecondaryBar.Max());
  EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kFailureColors.from);
}

TEST_F(MirrorSelectionTest, TheNextMirrorTakesTheIndexOfTheOneDropped) {
  answering_ = {"y"};
  TUpdateForm& form = FormWithMirrors({"x", "y"});
  MirrorIndex mirror = 0;
  ASSERT_TRUE(form.FindAvailableMirror(mirror));
  EXPECT_EQ(mirror, 0);
  EXPECT_EQ(Names(form), std::vector<std::string>{"y"});
  EXPECT_EQ(form.SecondaryLabel.Caption(), "Test des mirroirs");
}

TEST_F(MirrorSelectionTest, TwoMirrorsOnOneHostAreBothUsed) {
  answering_ = {"same"};
  TUpdateForm& form = FormWithMirrors({"same", "same"});
  MirrorIndex mirror = kNoMirror;
  ASSERT_TRUE(form.FindAvailableMirror(mirror));
  ASSERT_TRUE(form.FindAvailableMirror(mirror));
  EXPECT_EQ(mirror, 0);
  EXPECT_EQ(form.Mirrors.Count(), 1u);
}

TEST_F(MirrorSelectionTest, AMirrorThatDoesNotAnswerMovesTheBarOnAndStays) {
  TUpdateForm& form = FormWithMirrors({"a", "b", "c"});
  MirrorIndex mirror = kNoMirror;
  const std::size_t paints_before = Window().paints().size();
  EXPECT_FALSE(form.FindAvailableMirror(mirror));
  EXPECT_EQ(form.Mirrors.Count(), 3u);
  EXPECT_EQ(mirror, kNoMirror);
  std::vector<int> painted_positions;
  for (std::size_t i = paints_before; i < Window().paints().size(); ++i) {
    painted_positions.push_back(Window().paints()[i].Of(form.SecondaryBar).position);
  }
  EXPECT_EQ(painted_positions, (std::vector<int>{0, 1, 2, 3, 3}));
}

TEST_F(MirrorSelectionTest, AnEmptyTableTestsNothing) {
  TUpdateForm& form = FormWithMirrors({"only"});
  MirrorIndex mirror = 0;
  EXPECT_FALSE(form.FindAvailableMirror(mirror));
  EXPECT_TRUE(pinged_.empty());
  EXPECT_EQ(form.JvMemo.Lines(),
            (std::vector<std::string>{"- Suppression du mirroir précédent", "- Test des mirroirs",
                                      "- Aucun mirroir disponible"}));
}

}  // namespace
}  // namespace update_main
