// The real update.exe, read from outside as automation and accessibility
// tools read it: its window and controls by their messages, its bars by the
// pixels on the screen. Here the run ends at once, without a mirror list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/file_system.h"
#include "support/child_process.h"
#include "support/temp_folder.h"
#include "support/updater_window.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::TempFolder;
using testing_support::TextOf;
using testing_support::UpdaterWindow;
using testing_support::WaitUntil;

class UpdateWindowTest : public ::testing::Test {
 protected:
  void Start() {
    const std::filesystem::path program = folder_.path() / "update.exe";
    std::filesystem::copy_file(platform::ExecutableFolder() + "update.exe", program);
    process_ = std::make_unique<ChildProcess>(program.string(), folder_.path().string(),
                                              folder_.File("update.log"));
    ASSERT_TRUE(process_->started());
    form_ = UpdaterWindow::FindForm(60s);
    ASSERT_NE(form_, nullptr) << "no window";
    const UpdaterWindow window(form_);
    ASSERT_TRUE(window.complete());
    labels_ = {window.main_label(), window.secondary_label()};
    bars_ = {window.main_bar(), window.secondary_bar()};
    buttons_ = {window.details_check(), window.close_button(), window.auto_close_check()};
    memos_ = {window.memo()};
    ASSERT_TRUE(WaitUntil([this] { return TextOf(labels_[0]) == L"La mise à jour a échoué"; }, 30s))
        << "the run never showed its end";
  }

  TempFolder folder_;
  std::unique_ptr<ChildProcess> process_;
  HWND form_ = nullptr;
  std::vector<HWND> labels_, bars_, buttons_, memos_;
};

TEST_F(UpdateWindowTest, ShowsAFailedRunOnItsControls) {
  Start();
  EXPECT_EQ(TextOf(labels_[1]), L"Verification de la liste");
  EXPECT_EQ(TextOf(memos_[0]),
            L"Lecture de la liste des mirroirs\r\n- Verification de la liste\r\n"
            L"- Erreur lors de la lecture\r\n"
            L"La liste des mirroirs de téléchargement est invalide\r\n");

  const struct {
    HWND bar;
    int position;
    int maximum;
  } bars[] = {{bars_[0], 9, 9}, {bars_[1], 2, 2}};
  for (const auto& one : bars) {
    EXPECT_EQ(SendMessageW(one.bar, PBM_GETPOS, 0, 0), one.position);
    EXPECT_EQ(SendMessageW(one.bar, PBM_GETRANGE, FALSE, 0), one.maximum);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(one.bar, PBM_GETBARCOLOR, 0, 0)),
              RGB(201, 54, 49));
  }

  // "Détails", "Fermer", "Fermer quand terminé" by their texts; none ticked.
  EXPECT_EQ(TextOf(buttons_[0]), L"Détails");
  EXPECT_EQ(TextOf(buttons_[1]), L"Fermer");
  EXPECT_EQ(TextOf(buttons_[2]), L"Fermer quand terminé");
  EXPECT_EQ(SendMessageW(buttons_[0], BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(buttons_[2], BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(IsWindowVisible(memos_[0])) << "the log is hidden";

  // Just above a taskbar along the screen's bottom edge, or flush with the
  // screen's bottom-right corner without one. Wine shows a taskbar only in a
  // virtual desktop with its shell: CTest runs this test there once more,
  // saying so in KELVANE_EXPECT_TASKBAR.
  RECT window{};
  GetWindowRect(form_, &window);
  EXPECT_EQ(window.bottom - window.top, 145);
  EXPECT_EQ(window.right, GetSystemMetrics(SM_CXSCREEN));
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  const bool taskbar_shown = taskbar != nullptr && IsWindowVisible(taskbar);
  const char* expected = std::getenv("KELVANE_EXPECT_TASKBAR");
  if (expected != nullptr && std::string_view(expected) == "1") {
    ASSERT_TRUE(taskbar_shown) << "no taskbar in this desktop";
  }
  if (taskbar_shown) {
    RECT bar{};
    GetWindowRect(taskbar, &bar);
    ASSERT_EQ(bar.bottom, GetSystemMetrics(SM_CYSCREEN)) << "a taskbar along the bottom edge";
    ASSERT_LT(bar.top, bar.bottom);
    EXPECT_EQ(window.bottom, bar.top);
  } else {
    EXPECT_EQ(window.bottom, GetSystemMetrics(SM_CYSCREEN));
  }

  // The bars' middle rows on the screen: the failure colour.
  const HDC screen = GetDC(nullptr);
  for (HWND bar : bars_) {
    RECT rect{};
    GetWindowRect(bar, &rect);
    const COLORREF middle = GetPixel(screen, rect.left + 5, (rect.top + rect.bottom) / 2);
    EXPECT_TRUE(testing_support::NearColor(middle, RGB(201, 54, 49))) << std::hex << middle;
  }
  ReleaseDC(nullptr, screen);
}

TEST_F(UpdateWindowTest, OnlyFermerEndsTheProgram) {
  Start();
  PostMessageW(form_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(process_->WaitFor(2s)) << "a close request before \"Fermer\" is refused";
  EXPECT_EQ(SendMessageW(form_, WM_QUERYENDSESSION, 0, 0), FALSE);

  // "Détails" shows the log: the window grows upwards.
  RECT before{};
  GetWindowRect(form_, &before);
  SendMessageW(buttons_[0], BM_CLICK, 0, 0);
  RECT after{};
  GetWindowRect(form_, &after);
  EXPECT_EQ(after.bottom - after.top, 241);
  EXPECT_EQ(after.bottom, before.bottom);
  EXPECT_TRUE(IsWindowVisible(memos_[0]));
  EXPECT_EQ(SendMessageW(buttons_[0], BM_GETCHECK, 0, 0), BST_CHECKED);

  SendMessageW(buttons_[1], BM_CLICK, 0, 0);
  EXPECT_EQ(process_->WaitFor(30s), 0);
  std::ifstream settings(folder_.File("update.xml"), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(settings), {}};
  EXPECT_NE(bytes.find("<Details>TRUE</Details>"), std::string::npos) << bytes;
}

}  // namespace
