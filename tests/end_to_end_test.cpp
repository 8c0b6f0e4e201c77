// Whole runs of the real updater against mirrors on a real web server
// (tests/serve-test-mirrors, in the private test network): an installation
// of version 1 of a sample release, brought to version 2 or left alone, and
// read from outside: its files, its log and, on Windows, its window through
// the messages of its controls and a screenshot.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "support/child_process.h"
#include "support/temp_folder.h"
#include "support/test_network.h"
#include "support/wait_until.h"
#ifdef _WIN32
#include "support/test_http_server.h"
#include "support/updater_window.h"
#endif

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing_support::ChildProcess;
using testing_support::TempFolder;
using testing_support::WaitUntil;

constexpr std::string_view kSucceeded = "Mise à jour terminée avec succès !";
constexpr std::string_view kNoMirror =
    "Aucun des mirroirs de téléchargement ne semble disponible. Réessayez plus tard";
const std::array<std::string, 5> kComponents = {"mirrors.xml", "update.exe", "Kelvane.exe",
                                                "cat_db.xml", "icones.zip"};
// The first mirror of the test network: it does not answer the echo.
constexpr std::string_view kSilentHost = "http://127.0.0.2/";
// A web server that is no mirror.
constexpr std::string_view kPlainWebServer = "http://127.0.0.4/";
constexpr std::string_view kMirror = "http://127.0.0.5/";

#ifdef _WIN32
constexpr char kProgram[] = "update.exe";
#else
constexpr char kProgram[] = "update";
#endif

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

fs::path Release(std::string_view version) { return fs::path(KELVANE_TEST_MIRRORS) / version; }

bool EndsWithLine(const std::string& log, std::string_view line) {
  const std::string ending = std::string(line).append("\n");
  return log.size() >= ending.size() && log.compare(log.size() - ending.size(), ending.size(),
                                                    ending) == 0;
}

class EndToEndTest : public testing_support::TestNetworkTest {
 protected:
  void SetUp() override {
    TestNetworkTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(fs::exists(Release("new") / "Kelvane.exe"))
        << "the test mirrors are not up: tests/serve-test-mirrors";
    for (const std::string& name : kComponents) {
      fs::copy_file(Release("old") / name, folder_.path() / name);
    }
    fs::create_directory(folder_.path() / "icones");
#ifdef _WIN32
    fs::copy_file(platform::ExecutableFolder() + "runupdate.exe",
                  folder_.path() / "runupdate.exe");
#else
    // Here update.exe is only one of the five files; the program is this.
    fs::copy_file(platform::ExecutableFolder() + kProgram, folder_.path() / kProgram);
#endif
  }

  void TearDown() override {
    if (process_) process_->Kill();
  }

  void WriteMirrorList(const std::vector<std::string_view>& bases) const {
    std::string list = "<?xml version=\"1.0\"?>\n<mirrors>\n";
    int number = 1;
    for (const std::string_view base : bases) {
      list.append("  <mirror><name>Miroir ")
          .append(std::to_string(number++))
          .append("</name><base>")
          .append(base)
          .append("</base><ask_url>update.php</ask_url><dl_url>files/</dl_url></mirror>\n");
    }
    folder_.Write("mirrors.xml", list.append("</mirrors>\n"));
  }

  void WriteSettings(bool auto_close) const {
    folder_.Write("update.xml",
                  std::string("<?xml version=\"1.0\"?><Configuration><Details>TRUE</Details>")
                      .append("<AutoClose>")
                      .append(auto_close ? "TRUE" : "FALSE")
                      .append("</AutoClose></Configuration>"));
  }

  void Start() {
    process_ = std::make_unique<ChildProcess>((folder_.path() / kProgram).string(),
                                              folder_.path().string(), folder_.File("output.log"));
    ASSERT_TRUE(process_->started());
  }

  // The run's log so far, one "\n" after each line: the window's memo, or
  // what the terminal front-end writes when its output is no terminal.
  std::string Log() const {
#ifdef _WIN32
    HWND form = testing_support::UpdaterWindow::FindForm(0ms);
    return form == nullptr ? "" : testing_support::UpdaterWindow(form).Log();
#else
    return ReadFile(folder_.path() / "output.log");
#endif
  }

  // True once the log ends with `line`.
  bool WaitForLastLine(std::string_view line, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return EndsWithLine(Log(), line); }, timeout);
  }

  bool IsVersion(std::string_view version, const std::string& name) const {
    return ReadFile(folder_.path() / name) == ReadFile(Release(version) / name);
  }

  // What a successful run leaves: the five files and the icons of version
  // 2, and no download behind.
  void ExpectInstallationOfVersion2() const {
    for (const std::string& name : kComponents) {
      EXPECT_TRUE(IsVersion("new", name)) << name << " is not that of version 2";
    }
    EXPECT_EQ(ReadFile(folder_.path() / "icones" / "version.txt"), "Icons of version 2\r\n");
    EXPECT_TRUE(fs::exists(folder_.path() / "icones" / "jeux" / "icon3.ico"));
    EXPECT_FALSE(fs::exists(folder_.path() / "tempdata"));
  }

  TempFolder folder_;
  std::unique_ptr<ChildProcess> process_;
};

// Two lines of the log that must come in this order, with others between.
testing::AssertionResult InOrder(const std::string& log, std::string_view first,
                                 std::string_view second) {
  const auto at = log.find(std::string(first).append("\n"));
  if (at == std::string::npos) return testing::AssertionFailure() << "no \"" << first << "\"";
  if (log.find(std::string(second).append("\n"), at) == std::string::npos) {
    return testing::AssertionFailure() << "no \"" << second << "\" after \"" << first << "\"";
  }
  return testing::AssertionSuccess();
}

// The installed mirror list (the two mirrors of version 2) and the updater
// are current: only the rest is fetched, from the first mirror.
TEST_F(EndToEndTest, ATypicalRunUpdatesWhatDiffersAndUnpacksTheIcons) {
  WriteSettings(false);
  Start();
  ASSERT_TRUE(WaitForLastLine(kSucceeded, 120s)) << Log();

  ExpectInstallationOfVersion2();
  const std::string log = Log();
  EXPECT_TRUE(InOrder(log, "Mise à jour du logiciel de mise à jour",
                      "- Pas de mise à jour nécéssaire"));
  EXPECT_TRUE(InOrder(log, "Mise à jour de Kelvane", "- Application de la mise à jour"));
  EXPECT_EQ(log.find("suppression du mirroir"), std::string::npos) << "the first mirror served";
  EXPECT_FALSE(process_->WaitFor(2s)) << "without \"Fermer quand terminé\" the window stays";
}

// The first mirror does not answer the echo, the second is a web server but
// no mirror: the third serves the run.
TEST_F(EndToEndTest, TheRunFailsOverToTheFirstMirrorThatIsAnUpdateServer) {
  WriteMirrorList({kSilentHost, kPlainWebServer, kMirror});
  WriteSettings(true);
  Start();
  EXPECT_EQ(process_->WaitFor(120s), 0) << "\"Fermer quand terminé\" ends it after the run";
#ifndef _WIN32
  const std::string log = ReadFile(folder_.path() / "output.log");
  EXPECT_TRUE(EndsWithLine(log, kSucceeded)) << log;
  EXPECT_TRUE(InOrder(log, "- Clé invalide, suppression du mirroir",
                      "- Suppression du mirroir précédent"));
#endif
  // The mirror list too: it is the release's now.
  ExpectInstallationOfVersion2();
}

TEST_F(EndToEndTest, WithEveryMirrorDownTheRunEndsWithItsMessageAndChangesNothing) {
  WriteMirrorList({kSilentHost, "http://mirror.invalid/"});
  const std::string list = ReadFile(folder_.path() / "mirrors.xml");
  WriteSettings(true);
  Start();
  ASSERT_TRUE(WaitForLastLine(kNoMirror, 60s)) << Log();
  EXPECT_FALSE(process_->WaitFor(2s)) << "a failed run never closes by itself";
  EXPECT_EQ(ReadFile(folder_.path() / "mirrors.xml"), list);
  for (const char* name : {"update.exe", "Kelvane.exe", "cat_db.xml", "icones.zip"}) {
    EXPECT_TRUE(IsVersion("old", name)) << name;
  }
  EXPECT_TRUE(fs::is_empty(folder_.path() / "icones"));
}

#ifdef _WIN32

using testing_support::NearColor;
using testing_support::Screenshot;
using testing_support::UpdaterWindow;

constexpr COLORREF kNormalColor = RGB(41, 211, 49);
constexpr COLORREF kFailureColor = RGB(201, 54, 49);

// Screenshots of the runs, kept for a person to look at.
fs::path Artefact(std::string_view name) {
  return fs::path(KELVANE_TEST_ARTEFACTS) / std::string(name).append(".bmp");
}

// The bar's colour in the middle of its drawn part, on the screen.
COLORREF OnScreen(const Screenshot& screen, HWND bar) {
  RECT rect{};
  GetWindowRect(bar, &rect);
  return screen.At(rect.left + 5, (rect.top + rect.bottom) / 2);
}

// The window at the end of a run, as the user sees it: both bars full in
// `color`, placed in the bottom-right corner of the work area.
void ExpectEndOfRun(const UpdaterWindow& window, COLORREF color, std::string_view artefact) {
  ASSERT_TRUE(window.complete());
  EXPECT_EQ(UpdaterWindow::Position(window.main_bar()), 9);
  EXPECT_EQ(UpdaterWindow::Maximum(window.main_bar()), 9);
  EXPECT_EQ(UpdaterWindow::Color(window.main_bar()), color);
  EXPECT_EQ(UpdaterWindow::Color(window.secondary_bar()), color);
  EXPECT_TRUE(UpdaterWindow::Checked(window.details_check()));
  EXPECT_TRUE(IsWindowVisible(window.memo()));

  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT outer{};
  GetWindowRect(window.form(), &outer);
  EXPECT_EQ(outer.right, work.right);
  EXPECT_EQ(outer.bottom, work.bottom);

  const Screenshot screen;
  screen.Save(Artefact(artefact));
  EXPECT_TRUE(NearColor(OnScreen(screen, window.main_bar()), color))
      << std::hex << OnScreen(screen, window.main_bar());
  EXPECT_TRUE(NearColor(OnScreen(screen, window.secondary_bar()), color))
      << std::hex << OnScreen(screen, window.secondary_bar());
}

HWND ApplicationWindow() { return FindWindowA(nullptr, "Kelvane"); }

// Ends the stand-in application that a test left running.
void CloseApplication() {
  WaitUntil(
      [] {
        if (HWND window = ApplicationWindow()) PostMessageA(window, WM_CLOSE, 0, 0);
        return ApplicationWindow() == nullptr;
      },
      10s);
}

class WindowsEndToEndTest : public EndToEndTest {
 protected:
  // Also an updater that runupdate started, which is no child of the test:
  // left running, it would keep every later start out.
  void TearDown() override {
    EndToEndTest::TearDown();
    WaitUntil(
        [] {
          HWND form = UpdaterWindow::FindForm(0ms);
          if (form != nullptr) UpdaterWindow::Click(UpdaterWindow(form).close_button());
          return form == nullptr;
        },
        30s);
    CloseApplication();
  }

  UpdaterWindow Window() const {
    HWND form = UpdaterWindow::FindForm(30s);
    EXPECT_NE(form, nullptr) << "no updater window";
    return UpdaterWindow(form);
  }

  // Presses "Fermer" and waits for the updater in `form` to be gone.
  static bool CloseBy(const UpdaterWindow& window) {
    UpdaterWindow::Click(window.close_button());
    return WaitUntil([&window] { return !IsWindow(window.form()); }, 30s);
  }
};

// The typical run again, with Kelvane running: it is closed, replaced and
// started again, and the window shows the success until "Fermer".
TEST_F(WindowsEndToEndTest, ARunningApplicationIsClosedReplacedAndStartedAgain) {
  WriteSettings(false);
  ChildProcess application((folder_.path() / "Kelvane.exe").string(), folder_.path().string(),
                           folder_.File("application.log"));
  ASSERT_TRUE(application.started());
  ASSERT_TRUE(WaitUntil([] { return ApplicationWindow() != nullptr; }, 30s));

  Start();
  ASSERT_TRUE(WaitForLastLine(kSucceeded, 120s)) << Log();
  EXPECT_EQ(application.WaitFor(10s), 0) << "closed through its window";
  ExpectInstallationOfVersion2();
  EXPECT_TRUE(WaitUntil([this] { return ReadFile(folder_.path() / "starts.log") ==
                                        "started\nstarted\n"; },
                        30s))
      << "started again";

  const UpdaterWindow window = Window();
  EXPECT_EQ(testing_support::Utf8TextOf(window.main_label()), kSucceeded);
  EXPECT_FALSE(UpdaterWindow::Checked(window.auto_close_check()));
  ExpectEndOfRun(window, kNormalColor, "successful-run");
  ASSERT_TRUE(CloseBy(window));
  EXPECT_EQ(process_->WaitFor(10s), 0);
}

TEST_F(WindowsEndToEndTest, AFailedRunShowsItsMessageInRedAndWaitsForFermer) {
  WriteMirrorList({kSilentHost, "http://mirror.invalid/"});
  WriteSettings(true);
  Start();
  ASSERT_TRUE(WaitForLastLine(kNoMirror, 60s)) << Log();
  const UpdaterWindow window = Window();
  EXPECT_EQ(testing_support::Utf8TextOf(window.main_label()), "La mise à jour a échoué");
  EXPECT_TRUE(UpdaterWindow::Checked(window.auto_close_check()));
  ExpectEndOfRun(window, kFailureColor, "failed-run");
  ASSERT_TRUE(CloseBy(window));
  EXPECT_EQ(process_->WaitFor(10s), 0);
}

// A file held open without sharing cannot be replaced: the run ends with
// the file's own text, the download left for a replacement by hand.
TEST_F(WindowsEndToEndTest, AFileThatCannotBeReplacedEndsTheRunWithItsText) {
  WriteMirrorList({kMirror});
  WriteSettings(true);
  const std::wstring held = (folder_.path() / "cat_db.xml").wstring();
  const HANDLE file = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  Start();
  const bool ended = WaitForLastLine(
      "Impossible de remplacer la liste des catégories. Vous pouvez le faire manuellement en "
      "renommant le fichier tempdata en cat_db.xml",
      120s);
  CloseHandle(file);
  ASSERT_TRUE(ended) << Log();
  EXPECT_TRUE(IsVersion("old", "cat_db.xml"));
  EXPECT_TRUE(IsVersion("new", "Kelvane.exe")) << "the files before it are done";
  EXPECT_EQ(ReadFile(folder_.path() / "tempdata"), ReadFile(Release("new") / "cat_db.xml"));
  EXPECT_TRUE(IsVersion("old", "icones.zip")) << "the run ends there";
}

// The updater's own file differs: the run hands it over to runupdate.exe and
// ends; runupdate puts it in place and starts it, and the new updater
// finishes the run.
TEST_F(WindowsEndToEndTest, TheNewUpdaterIsHandedOverAndFinishesTheRun) {
  WriteSettings(false);
  {
    std::ofstream older(folder_.path() / "update.exe", std::ios::binary | std::ios::app);
    older << "an older updater";
  }
  Start();
  EXPECT_EQ(process_->WaitFor(120s), 0) << "the first updater ends after the hand-over";
  ASSERT_TRUE(WaitUntil([this] { return IsVersion("new", "update.exe"); }, 60s))
      << "runupdate never put the new updater in place";
  ASSERT_TRUE(WaitForLastLine(kSucceeded, 120s)) << Log();
  ExpectInstallationOfVersion2();
  const std::string log = Log();
  EXPECT_TRUE(InOrder(log, "Mise à jour du logiciel de mise à jour",
                      "- Pas de mise à jour nécéssaire"))
      << "the new updater finds itself current";
  EXPECT_TRUE(CloseBy(Window()));
}

// "Fermer" ends the program at once while a request waits on a mirror that
// accepted the connection and sends nothing.
TEST_F(WindowsEndToEndTest, FermerEndsTheProgramWhileARequestWaitsOnAStalledMirror) {
  testing_support::TestHttpServer stalled(80);
  stalled.Script("/update.php?isvalid", {testing_support::ServerAction::Stall(300s)});
  WriteMirrorList({"http://127.0.0.1/"});
  WriteSettings(false);
  Start();
  ASSERT_TRUE(WaitForLastLine("- Demande de la clé", 60s)) << Log();
  ASSERT_TRUE(WaitUntil([&stalled] { return stalled.connections() == 1; }, 30s));
  const UpdaterWindow window = Window();
  UpdaterWindow::Click(window.close_button());
  EXPECT_EQ(process_->WaitFor(10s), 0) << "still waiting on the mirror";
}

#endif

}  // namespace
