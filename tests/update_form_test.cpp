// The window: the layout that the stored choices give, the settings file
// that every start and click writes, placement and the close rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "update_form_fixture.h"

namespace update_main {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string SettingsFile(std::string_view values) {
  return "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<Configuration>\r\n" +
         std::string(values) + "</Configuration>\r\n";
}

struct Layout {
  bool memo_visible;
  int check_boxes_top;
  int button_top;
  int height;
};
constexpr Layout kWithLog = {true, 196, 192, 241};
constexpr Layout kWithoutLog = {false, 100, 96, 145};

void ExpectLayout(TUpdateForm& form, const Layout& layout, const std::string& context) {
  EXPECT_EQ(form.JvMemo.Visible(), layout.memo_visible) << context;
  EXPECT_EQ(form.DetailsCheck.Top(), layout.check_boxes_top) << context;
  EXPECT_EQ(form.AutoCloseCheck.Top(), layout.check_boxes_top) << context;
  EXPECT_EQ(form.CloseButton.Top(), layout.button_top) << context;
  EXPECT_EQ(form.window().Height(), layout.height) << context;
}

TEST_F(UpdateFormTest, OpensWithTheStoredChoices) {
  const struct {
    const char* stored;  // nullptr: no settings file
    bool details;
    bool auto_close;
  } cases[] = {
      {nullptr, false, false},
      {"  <Details>TRUE</Details>\r\n", true, false},
      {"  <Details>yes</Details>\r\n  <AutoClose>Y</AutoClose>\r\n", true, true},
      {"  <details>1</details>\r\n", true, false},
      {"  <Details>n</Details>\r\n  <AutoClose>TRUE</AutoClose>\r\n", false, true},
      {"  <Details>0</Details>\r\n", false, false},
      {"  <Details>sometimes</Details>\r\n", false, false},
  };
  for (const auto& one : cases) {
    const std::string context = one.stored ? one.stored : "no file";
    std::filesystem::remove(SettingsPath());
    if (one.stored) folder_.Write("update.xml", SettingsFile(one.stored));
    TUpdateForm& form = CreateForm();
    EXPECT_EQ(form.DetailsCheck.Checked(), one.details) << context;
    EXPECT_EQ(form.AutoCloseCheck.Checked(), one.auto_close) << context;
    ExpectLayout(form, one.details ? kWithLog : kWithoutLog, context);
    DestroyForm();
  }
  EXPECT_TRUE(application_.errors().empty());
}

TEST_F(UpdateFormTest, WritesTheSettingsFileAtStartAndAtEveryClick) {
  TUpdateForm& form = CreateForm();
  EXPECT_EQ(ReadFile(SettingsPath()), SettingsFile("  <Details>FALSE</Details>\r\n"));

  form.AutoCloseCheck.Click();
  EXPECT_TRUE(form.AutoCloseCheck.Checked());
  EXPECT_EQ(ReadFile(SettingsPath()),
            SettingsFile("  <Details>FALSE</Details>\r\n  <AutoClose>TRUE</AutoClose>\r\n"));

  form.DetailsCheck.Click();
  EXPECT_EQ(ReadFile(SettingsPath()),
            SettingsFile("  <Details>TRUE</Details>\r\n  <AutoClose>TRUE</AutoClose>\r\n"));
  DestroyForm();
  EXPECT_EQ(ReadFile(SettingsPath()),
            SettingsFile("  <Details>TRUE</Details>\r\n  <AutoClose>TRUE</AutoClose>\r\n"));
}

TEST_F(UpdateFormTest, ReadsTheFileAgainBeforeEveryAccess) {
  TUpdateForm& form = CreateForm();
  // Another program changes the file while the updater runs.
  folder_.Write("update.xml", SettingsFile("  <Details>FALSE</Details>\r\n  <Extra>kept</Extra>\r\n"));
  form.AutoCloseCheck.Click();
  EXPECT_EQ(ReadFile(SettingsPath()),
            SettingsFile("  <Details>FALSE</Details>\r\n  <Extra>kept</Extra>\r\n"
                         "  <AutoClose>TRUE</AutoClose>\r\n"));
}

TEST_F(UpdateFormTest, TwoClicksOnDetailsComeBackToTheSameLayoutAndPlace) {
  application_.SetScreen({0, 0, 1280, 1024});
  application_.SetTaskbar({0, 994, 1280, 1024});
  TUpdateForm& form = CreateForm();
  const int top = form.window().Top();
  const int left = form.window().Left();
  const int bottom = top + form.window().Height();

  form.DetailsCheck.Click();
  ExpectLayout(form, kWithLog, "after one click");
  EXPECT_EQ(form.window().Top() + form.window().Height(), bottom) << "grows upwards";
  EXPECT_EQ(ReadFile(SettingsPath()), SettingsFile("  <Details>TRUE</Details>\r\n"));

  form.DetailsCheck.Click();
  ExpectLayout(form, kWithoutLog, "after two clicks");
  EXPECT_EQ(form.window().Top(), top);
  EXPECT_EQ(form.window().Left(), left);
  EXPECT_EQ(ReadFile(SettingsPath()), SettingsFile("  <Details>FALSE</Details>\r\n"));
}

TEST_F(UpdateFormTest, ShowingTheLogScrollsToItsLastLine) {
  TUpdateForm& form = CreateForm();
  for (int i = 0; i < 40; ++i) form.AddLogLine("- ligne " + std::to_string(i));
  form.DetailsCheck.Click();
  ASSERT_FALSE(Window().memo()->scrolled_lines().empty());
  EXPECT_EQ(Window().memo()->scrolled_lines().back(), 39);
  EXPECT_EQ(form.JvMemo.Lines().size(), 40u);
}

TEST_F(UpdateFormTest, AReadOnlyFileIsReadButNeverWritten) {
  const std::string stored = SettingsFile("  <Details>TRUE</Details>\r\n");
  folder_.Write("update.xml", stored);
  std::filesystem::permissions(SettingsPath(), std::filesystem::perms::owner_write |
                                                   std::filesystem::perms::group_write |
                                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  TUpdateForm& form = CreateForm();
  EXPECT_TRUE(form.DetailsCheck.Checked());
  form.DetailsCheck.Click();
  form.AutoCloseCheck.Click();
  EXPECT_FALSE(form.DetailsCheck.Checked());
  EXPECT_TRUE(form.AutoCloseCheck.Checked());
  DestroyForm();
  EXPECT_EQ(ReadFile(SettingsPath()), stored);
  EXPECT_TRUE(application_.errors().empty());
  std::filesystem::permissions(SettingsPath(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

TEST_F(UpdateFormTest, AFileThatCannotBeWrittenShowsTheErrorBoxAndTheWindowGoesOn) {
  // A folder where the file should be: no one can create the file, root included.
  std::filesystem::create_directory(SettingsPath());
  TUpdateForm& form = CreateForm();
  ASSERT_EQ(application_.errors().size(), 1u) << "the write of the start";
  EXPECT_NE(application_.errors()[0].find("update.xml"), std::string::npos)
      << application_.errors()[0];
  ExpectLayout(form, kWithoutLog, "creation went on");

  application_.Post([&form] { form.DetailsCheck.Click(); });
  application_.ProcessMessages();
  EXPECT_EQ(application_.errors().size(), 2u) << "the write of the click";
  EXPECT_TRUE(form.DetailsCheck.Checked());
  ExpectLayout(form, kWithLog, "the click went on");
}

TEST_F(UpdateFormTest, OnlyFermerLetsTheWindowClose) {
  TUpdateForm& form = CreateForm();
  form.window().Close();  // Alt+F4, the taskbar's close
  EXPECT_FALSE(Window().closed());
  EXPECT_FALSE(Window().QueryEndSession());
  EXPECT_FALSE(application_.quit_posted());

  form.CloseButton.Click();
  EXPECT_TRUE(form.CloseAllowed);
  EXPECT_TRUE(Window().closed());
  EXPECT_TRUE(application_.quit_posted());
  EXPECT_TRUE(Window().QueryEndSession());
}

TEST_F(UpdateFormTest, PlacesTheWindowAgainstTheTaskbarOrTheScreenCorner) {
  using platform::ui::ScreenRect;
  const ScreenRect screen = {0, 0, 1280, 1024};
  const struct {
    const char* taskbar_along;
    ScreenRect taskbar;
    int window_height;
    int expected_top;
    int expected_right;  // left + width
  } cases[] = {
      {"bottom", {0, 994, 1280, 1024}, 200, 794, 1280},
      {"bottom, hidden", {0, 1022, 1280, 1024}, 241, 781, 1280},
      {"right", {1220, 0, 1280, 1024}, 200, 824, 1220},
      {"top", {0, 0, 1280, 30}, 200, 824, 1280},
      {"left", {0, 0, 60, 1024}, 145, 879, 1280},
      {"nowhere", {0, 0, 0, 0}, 145, 879, 1280},
  };
  application_.SetScreen(screen);
  TUpdateForm& form = CreateForm();
  for (const auto& one : cases) {
    application_.SetTaskbar(one.taskbar);
    form.window().SetHeight(one.window_height);
    EXPECT_EQ(form.ComputeWindowTop(), one.expected_top) << one.taskbar_along;
    EXPECT_EQ(form.ComputeWindowLeft() + form.window().Width(), one.expected_right)
        << one.taskbar_along;
  }
}

TEST_F(UpdateFormTest, TheTimerStartsTheRunExactlyOnce) {
  TUpdateForm& form = CreateForm();
  int runs = 0;
  form.Steps.LoadMirrorList = [&runs] {
    ++runs;
    return false;
  };
  EXPECT_TRUE(form.Timer.Enabled());
  EXPECT_EQ(form.Timer.IntervalMs(), 100);
  application_.Run(form.window());
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(form.Timer.Enabled());
  EXPECT_TRUE(Window().shown());
}

}  // namespace
}  // namespace update_main
