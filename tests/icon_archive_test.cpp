// Unpacking the icon archive beside the program: what each failure leaves
// in RunMessage and on disk, and an archive left as it was after a success.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/current_folder.h"
#include "support/zip_builder.h"
#include "update_form_fixture.h"
#include "update_main/bar_colors.h"

namespace update_main {
namespace {

using testing_support::BuildZip;
using testing_support::TestEntry;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class PromptAnswering final : public platform::zip::EntryFailurePrompt {
 public:
  explicit PromptAnswering(platform::zip::EntryAnswer answer) : answer_(answer) {}
  platform::zip::EntryAnswer Ask(const std::string& text) override {
    texts.push_back(text);
    return answer_;
  }
  std::vector<std::string> texts;

 private:
  platform::zip::EntryAnswer answer_;
};

class IconArchiveTest : public UpdateFormTest {
 protected:
  std::filesystem::path Archive() const { return folder_.path() / "icones.zip"; }
  std::filesystem::path Target() const { return folder_.path() / "icones"; }
};

TEST_F(IconArchiveTest, UnpacksTheArchiveAndLeavesItAsItWas) {
  const std::string archive =
      BuildZip({TestEntry("a.png", "icon a"), TestEntry("sub/b.png", std::string(5000, 'b')),
                TestEntry("empty/", "")});
  folder_.Write("icones.zip", archive);
  std::filesystem::create_directory(Target());
  // Another current folder: the paths come from the program's folder.
  testing_support::TempFolder elsewhere;
  const testing_support::CurrentFolder in_elsewhere(elsewhere.path());

  TUpdateForm& form = CreateForm();
  EXPECT_TRUE(form.UnpackIconArchive());
  EXPECT_EQ(ReadFile(Target() / "a.png"), "icon a");
  EXPECT_EQ(ReadFile(Target() / "sub" / "b.png"), std::string(5000, 'b'));
  EXPECT_TRUE(std::filesystem::is_directory(Target() / "empty"));
  EXPECT_EQ(ReadFile(Archive()), archive) << "byte for byte";
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
  EXPECT_EQ(form.JvMemo.Lines(),
            (std::vector<std::string>{
                "- Verification de l'existence de l'archive", "- Verification du dossier cible",
                "- Verification de l'intégrité de l'archive", "- Ouverture de l'archive",
                "- Extraction des fichiers", "- Fermeture de l'archive",
                "- Décompresssion terminée"}));
  EXPECT_EQ(form.SecondaryLabel.Caption(), "Terminé");
  EXPECT_EQ(form.SecondaryBar.Position(), 6);
}

TEST_F(IconArchiveTest, EachFailureLeavesItsTextAndTheBarWhereItWas) {
  const struct {
    const char* what;
    const char* archive;  // nullptr: none
    bool target_folder;
    bool target_file;  // a plain file named "icones"
    std::string_view message;
    int position;
    bool archive_left;
  } cases[] = {
      {"no archive", nullptr, true, false, "L'archive des icônes est introuvable", 0, false},
      {"no target folder", "zip", false, false, "Le dossier cible n'existe pas", 1, true},
      {"a file in place of the folder", "zip", false, true, "Le dossier cible n'existe pas", 1,
       true},
      {"no archive at all", "not a zip archive, and no directory either", true, false,
       "L'archive des icônes est corrompue", 2, false},
  };
  const std::string sound = BuildZip({TestEntry("a.png", "icon a")});
  for (const auto& one : cases) {
    std::filesystem::remove_all(Archive());
    std::filesystem::remove_all(Target());
    if (one.archive) {
      folder_.Write("icones.zip", std::string_view(one.archive) == "zip" ? sound : one.archive);
    }
    if (one.target_folder) std::filesystem::create_directory(Target());
    if (one.target_file) folder_.Write("icones", "not a folder");

    TUpdateForm& form = CreateForm();
    EXPECT_FALSE(form.UnpackIconArchive()) << one.what;
    EXPECT_EQ(form.RunMessage, one.message) << one.what;
    EXPECT_EQ(form.SecondaryBar.Position(), one.position) << one.what;
    EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kNormalColors.from) << one.what;
    EXPECT_EQ(std::filesystem::exists(Archive()), one.archive_left) << one.what;
    EXPECT_EQ(std::filesystem::is_directory(Target()), one.target_folder)
        << "the folder is never created: " << one.what;
    DestroyForm();
  }
}

TEST_F(IconArchiveTest, ADamagedEntryGoesToThePromptAndTheStepStillSucceeds) {
  folder_.Write("icones.zip", BuildZip({TestEntry("a.png", "icon a"),
                                        testing_support::Damaged("bad.png"),
                                        TestEntry("c.png", "icon c")}));
  std::filesystem::create_directory(Target());
  PromptAnswering ignore(platform::zip::EntryAnswer::kIgnore);
  TUpdateForm& form = CreateForm();
  form.SetEntryPrompt(&ignore);
  EXPECT_TRUE(form.UnpackIconArchive());
  ASSERT_EQ(ignore.texts.size(), 1u);
  EXPECT_NE(ignore.texts[0].find(". File processing error, possibly disk is full"),
            std::string::npos)
      << ignore.texts[0];
  EXPECT_TRUE(std::filesystem::exists(Target() / "a.png"));
  EXPECT_FALSE(std::filesystem::exists(Target() / "bad.png"));
  EXPECT_TRUE(std::filesystem::exists(Target() / "c.png"));
}

}  // namespace
}  // namespace update_main
