// One file's update from a scripted local mirror: when it is downloaded,
// when a download is refused, and what is left on disk in every case.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>

#include "support/child_process.h"
#endif

#include "mymd5/mymd5.h"
#include "platform/file_system.h"
#include "support/current_folder.h"
#include "support/test_http_server.h"
#include "update_form_fixture.h"
#include "update_main/bar_colors.h"
#include "update_main/texts.h"

namespace update_main {
namespace {

using testing_support::ServerAction;
using testing_support::TestHttpServer;

std::string DigestOf(std::string_view bytes) {
  mymd5::DigestContext context;
  mymd5::DigestStart(context);
  mymd5::DigestAdd(context, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                   static_cast<std::uint32_t>(bytes.size()));
  mymd5::DigestBytes digest;
  mymd5::DigestFinish(context, digest);
  return mymd5::DigestText(digest);
}

ServerAction Ok(std::string_view body) {
  std::string reply = "HTTP/1.0 200 OK\r\nContent-Length: ";
  reply.append(std::to_string(body.size())).append("\r\n\r\n").append(body);
  return ServerAction::Send(reply);
}

class ComponentUpdateTest : public UpdateFormTest {
 protected:
  ComponentUpdateTest() : in_folder_(folder_.path()) {}

  TUpdateForm& FormWithMirror() {
    TUpdateForm& form = CreateForm();
    MirrorRecord& mirror = form.Mirrors.Append();
    mirror.name = "local";
    mirror.base = server_.Url("/");
    mirror.ask_url = "k/ask.php";
    mirror.dl_url = "k/files/";
    return form;
  }
  void MirrorAnswers(std::string_view key, std::string_view reply) {
    server_.Script(std::string("/k/ask.php").append(key), {Ok(reply)});
  }
  void MirrorServes(std::string_view file, std::vector<ServerAction> actions) {
    server_.Script(std::string("/k/files/").append(file), std::move(actions));
  }
  std::string Read(std::string_view name) const {
    std::ifstream in(folder_.File(name), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  bool Exists(std::string_view name) const {
    return std::filesystem::exists(folder_.path() / name);
  }
  void ExpectBarAt6(TUpdateForm& form, const BarColors& colors, const char* what) {
    EXPECT_EQ(form.SecondaryBar.Position(), 6) << what;
    EXPECT_EQ(form.SecondaryBar.Max(), 6) << what;
    EXPECT_EQ(form.SecondaryBar.BarColorFrom(), colors.from) << what;
  }

  TestHttpServer server_;
  testing_support::CurrentFolder in_folder_;
};

TEST_F(ComponentUpdateTest, ACurrentFileIsLeftAlone) {
  folder_.Write("cat_db.xml", "<categories/>");
  MirrorAnswers("?categories", DigestOf("<categories/>"));
  TUpdateForm& form = FormWithMirror();
  EXPECT_TRUE(form.UpdateCategoryList(0));
  EXPECT_EQ(form.JvMemo.Lines(),
            (std::vector<std::string>{"- Demande du hash", "- Verification du hash",
                                      "- Test du fichier local",
                                      "- Pas de mise à jour nécéssaire"}));
  EXPECT_FALSE(Exists("tempdata"));
  EXPECT_EQ(server_.paths(), std::vector<std::string>{"/k/ask.php?categories"});
  ExpectBarAt6(form, kNormalColors, "current");
}

TEST_F(ComponentUpdateTest, AFileThatDiffersIsDownloadedCheckedAndMovedIntoPlace) {
  const struct {
    const char* what;
    const char* local;  // nullptr: no local file
    bool leftover_tempdata;
  } cases[] = {
      {"an older file", "<categories>old</categories>", false},
      {"no local file", nullptr, false},
      {"an empty local file", "", false},
      {"a tempdata left from before", "<categories>old</categories>", true},
  };
  const std::string fresh = "<categories>new</categories>";
  for (const auto& one : cases) {
    std::filesystem::remove(folder_.path() / "cat_db.xml");
    if (one.local) folder_.Write("cat_db.xml", one.local);
    if (one.leftover_tempdata) folder_.Write("tempdata", std::string(100000, 'x'));
    MirrorAnswers("?categories", DigestOf(fresh));
    MirrorServes("cat_db.xml", {Ok(fresh)});
    TUpdateForm& form = FormWithMirror();
    EXPECT_TRUE(form.UpdateCategoryList(0)) << one.what;
    EXPECT_EQ(Read("cat_db.xml"), fresh) << one.what;
    EXPECT_FALSE(Exists("tempdata")) << one.what;
    EXPECT_EQ(form.JvMemo.Lines().back(), "- Application de la mise à jour") << one.what;
    ExpectBarAt6(form, kNormalColors, one.what);
    EXPECT_EQ(form.RunMessage, "") << one.what;
    DestroyForm();
  }
}

TEST_F(ComponentUpdateTest, AMissingFileThatTheMirrorCallsEmptyStaysMissing) {
  MirrorAnswers("?pictures", DigestOf(""));
  TUpdateForm& form = FormWithMirror();
  EXPECT_TRUE(form.UpdateIconArchive(0));
  EXPECT_EQ(form.JvMemo.Lines().back(), "- Pas de mise à jour nécéssaire");
  EXPECT_FALSE(Exists("icones.zip"));
}

TEST_F(ComponentUpdateTest, AnAnswerThatIsNoDigestLetsTheRunTryAnotherMirror) {
  const std::string digest = DigestOf("x");
  const struct {
    const char* what;
    std::vector<ServerAction> reply;
  } cases[] = {
      {"a trailing line break", {Ok(digest + "\n")}},
      {"a trailing CR LF", {Ok(digest + "\r\n")}},
      {"too short", {Ok(digest.substr(0, 31))}},
      {"an empty body", {Ok("")}},
      {"a 404", {ServerAction::Send(
           std::string("HTTP/1.0 404 Not Found\r\nContent-Length: 32\r\n\r\n").append(digest))}},
      {"no answer", {ServerAction::Close()}},
  };
  folder_.Write("cat_db.xml", "old");
  for (const auto& one : cases) {
    server_.Script("/k/ask.php?categories", one.reply);
    TUpdateForm& form = FormWithMirror();
    EXPECT_FALSE(form.UpdateCategoryList(0)) << one.what;
    EXPECT_EQ(form.RunMessage, "") << one.what;
    EXPECT_EQ(form.JvMemo.Lines().back(), "- Réponse du serveur invalide") << one.what;
    ExpectBarAt6(form, kFailureColors, one.what);
    EXPECT_EQ(Read("cat_db.xml"), "old") << one.what;
    EXPECT_FALSE(Exists("tempdata")) << one.what;
    DestroyForm();
  }
}

TEST_F(ComponentUpdateTest, ADownloadThatDoesNotMatchIsDeleted) {
  const std::string fresh = "<categories>new</categories>";
  const struct {
    const char* what;
    std::string reply;
    std::vector<ServerAction> download;
  } cases[] = {
      {"other content", DigestOf(fresh), {Ok("<categories>other</categories>")}},
      {"a transfer cut short", DigestOf(fresh),
       {ServerAction::Send("HTTP/1.0 200 OK\r\nContent-Length: 28\r\n\r\n<categ"),
        ServerAction::Close()}},
      {"a 404 page", DigestOf(fresh),
       {ServerAction::Send("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found")}},
      {"an upper-case digest", [&fresh] {
         std::string upper = DigestOf(fresh);
         for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
         return upper;
       }(),
       {Ok(fresh)}},
      {"32 characters that are no digest", std::string(32, 'z'), {Ok(fresh)}},
  };
  folder_.Write("cat_db.xml", "old");
  for (const auto& one : cases) {
    server_.Script("/k/ask.php?categories", {Ok(one.reply)});
    MirrorServes("cat_db.xml", one.download);
    TUpdateForm& form = FormWithMirror();
    EXPECT_FALSE(form.UpdateCategoryList(0)) << one.what;
    EXPECT_EQ(form.RunMessage, "") << one.what;
    EXPECT_EQ(form.SecondaryLabel.Caption(), "Téléchargement corrompu") << one.what;
    EXPECT_EQ(form.JvMemo.Lines().back(), "- Téléchargement corrompu") << one.what;
    ExpectBarAt6(form, kFailureColors, one.what);
    EXPECT_FALSE(Exists("tempdata")) << one.what;
    EXPECT_EQ(Read("cat_db.xml"), "old") << one.what;
    DestroyForm();
  }
}

// A corrupt download that cannot be deleted ends the run with its text
// instead of trying another mirror over it. While the download still waits
// for its end, the test makes "tempdata" undeletable: read-only on Windows;
// here, where a read-only file can be deleted, a folder under its name, the
// download going on into the file it was.
TEST_F(ComponentUpdateTest, ACorruptDownloadThatCannotBeDeletedEndsTheRun) {
  const std::filesystem::path download = folder_.path() / "tempdata";
  MirrorAnswers("?categories", DigestOf("<categories>new</categories>"));
  MirrorServes("cat_db.xml",
               {ServerAction::Send("HTTP/1.0 200 OK\r\n\r\n<categories>other</categories>"),
                ServerAction::Call([&download] {
#ifdef _WIN32
                  SetFileAttributesW(download.wstring().c_str(), FILE_ATTRIBUTE_READONLY);
#else
                  std::filesystem::rename(download, download.string() + ".moved");
                  std::filesystem::create_directory(download);
                  std::ofstream(download / "held") << "keeps the folder";
#endif
                }),
                ServerAction::Close()});
  folder_.Write("cat_db.xml", "old");
  TUpdateForm& form = FormWithMirror();
  EXPECT_FALSE(form.UpdateCategoryList(0));
  EXPECT_EQ(form.RunMessage,
            "Le téléchargement est corrompu. De plus, la suppression du fichier temporaire est "
            "impossible.");
  EXPECT_EQ(form.SecondaryLabel.Caption(), "Téléchargement corrompu");
  EXPECT_TRUE(std::filesystem::exists(download));
  EXPECT_EQ(Read("cat_db.xml"), "old");
#ifdef _WIN32
  SetFileAttributesW(download.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
}

TEST_F(ComponentUpdateTest, AFileThatCannotBeReplacedEndsTheRunAndKeepsTheDownload) {
  const std::string fresh = "<categories>new</categories>";
  std::filesystem::create_directory(folder_.path() / "cat_db.xml");
  MirrorAnswers("?categories", DigestOf(fresh));
  MirrorServes("cat_db.xml", {Ok(fresh)});
  TUpdateForm& form = FormWithMirror();
  EXPECT_FALSE(form.UpdateCategoryList(0));
  EXPECT_EQ(form.RunMessage, kCategoryListComponent.failure_text);
  EXPECT_EQ(Read("tempdata"), fresh) << "left for the user to rename";
  EXPECT_EQ(form.SecondaryBar.Position(), 5);
  EXPECT_EQ(form.SecondaryBar.BarColorFrom(), kNormalColors.from);
  EXPECT_EQ(form.JvMemo.Lines().back(), "- Application de la mise à jour");
}

TEST_F(ComponentUpdateTest, ATempdataThatCannotBeCreatedIsAnError) {
  std::filesystem::create_directory(folder_.path() / "tempdata");
  MirrorAnswers("?serverlist", DigestOf("new"));
  TUpdateForm& form = FormWithMirror();
  EXPECT_THROW(form.UpdateMirrorList(0), platform::FileError);
}

TEST_F(ComponentUpdateTest, TheUpdatersOwnFileIsHandedOver) {
  const std::string fresh = "a new updater";
  folder_.Write("update.exe", "the running updater");
  MirrorAnswers("?updater", DigestOf(fresh));
  MirrorServes("update.exe", {Ok(fresh)});
  TUpdateForm& form = FormWithMirror();
  EXPECT_FALSE(form.UpdateUpdater(0));
  EXPECT_EQ(form.RunMessage, texts::kHandOverMarker);
  EXPECT_TRUE(application_.quit_posted());
  EXPECT_EQ(Read("tempdata"), fresh);
  EXPECT_EQ(Read("update.exe"), "the running updater");
  ExpectBarAt6(form, kNormalColors, "hand-over");
}

TEST_F(ComponentUpdateTest, ACurrentUpdaterIsNotHandedOver) {
  folder_.Write("update.exe", "the running updater");
  MirrorAnswers("?updater", DigestOf("the running updater"));
  TUpdateForm& form = FormWithMirror();
  EXPECT_TRUE(form.UpdateUpdater(0));
  EXPECT_FALSE(application_.quit_posted());
  EXPECT_EQ(form.RunMessage, "");
}

TEST_F(ComponentUpdateTest, AnApplicationThatIsNotRunningIsReplacedAndNotStarted) {
  const std::string fresh = "a new application";
  folder_.Write("Kelvane.exe", "the old application");
  MirrorAnswers("?kelvane", DigestOf(fresh));
  MirrorServes("Kelvane.exe", {Ok(fresh)});
  TUpdateForm& form = FormWithMirror();
  EXPECT_TRUE(form.UpdateApplication(0));
  EXPECT_EQ(Read("Kelvane.exe"), fresh);
  EXPECT_FALSE(Exists("tempdata"));
  ExpectBarAt6(form, kNormalColors, "application");
}

#ifdef _WIN32

// The application's window answers the close request, its file is replaced
// and it is started again from the new file.
TEST_F(ComponentUpdateTest, ARunningApplicationIsClosedReplacedAndStartedAgain) {
  const std::filesystem::path stand_in =
      std::filesystem::path(platform::ExecutableFolder()) / "stand_in_application.exe";
  std::ifstream in(stand_in, std::ios::binary);
  std::stringstream program;
  program << in.rdbuf();
  const std::string old_version = program.str();
  // Bytes after the image change the digest and not the program.
  const std::string new_version = std::string(old_version).append("new version");
  folder_.Write("Kelvane.exe", old_version);

  testing_support::ChildProcess running(folder_.File("Kelvane.exe"), folder_.path().string(),
                                        folder_.File("first.log"));
  ASSERT_TRUE(running.started());
  const auto window_found = [] { return FindWindowA(nullptr, "Kelvane") != nullptr; };
  for (int i = 0; i < 300 && !window_found(); ++i) Sleep(100);
  ASSERT_TRUE(window_found()) << "the stand-in never showed its window";

  MirrorAnswers("?kelvane", DigestOf(new_version));
  MirrorServes("Kelvane.exe", {Ok(new_version)});
  TUpdateForm& form = FormWithMirror();
  EXPECT_TRUE(form.UpdateApplication(0));
  EXPECT_EQ(running.WaitFor(std::chrono::seconds(10)), 0) << "closed by its window";
  EXPECT_EQ(Read("Kelvane.exe"), new_version);
  for (int i = 0; i < 300 && Read("starts.log") != "started\nstarted\n"; ++i) Sleep(100);
  EXPECT_EQ(Read("starts.log"), "started\nstarted\n") << "started again";

  // The restarted one, which the updater started for this test, is ended.
  for (int i = 0; i < 300 && window_found(); ++i) {
    if (HWND window = FindWindowA(nullptr, "Kelvane")) PostMessageA(window, WM_CLOSE, 0, 0);
    Sleep(100);
  }
  EXPECT_FALSE(window_found());
}

#endif

}  // namespace
}  // namespace update_main
