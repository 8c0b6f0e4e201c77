// The system's prompt for an archive entry that failed, answered as a user
// answers it: by a button of the box. Needs a display under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "platform/zip_archive.h"
#include "support/updater_window.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;
namespace zip = platform::zip;

// The box of this process: another test may show one of the same title.
HWND OwnBox() {
  for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", L"Kelvane Updater"); box != nullptr;
       box = FindWindowExW(nullptr, box, L"#32770", L"Kelvane Updater")) {
    DWORD process = 0;
    GetWindowThreadProcessId(box, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(box)) return box;
  }
  return nullptr;
}

// Every text of the box's labels, one after another.
std::string TextsOf(HWND box) {
  std::string texts;
  for (HWND child = FindWindowExW(box, nullptr, L"Static", nullptr); child != nullptr;
       child = FindWindowExW(box, child, L"Static", nullptr)) {
    texts.append(testing_support::Utf8TextOf(child));
  }
  return texts;
}

TEST(SystemPromptTest, ShowsTheErrorAndAnswersWithTheButtonPressed) {
  const std::string text =
      "icônes/outils/a.ico: CRC error. File processing error, possibly disk is full";
  const struct {
    int button;
    zip::EntryAnswer answer;
  } cases[] = {{IDRETRY, zip::EntryAnswer::kRetry},
               {IDIGNORE, zip::EntryAnswer::kIgnore},
               {IDABORT, zip::EntryAnswer::kAbort}};
  for (const auto& one : cases) {
    std::string shown;
    bool pressed = false;
    std::thread user([&] {
      HWND box = nullptr;
      if (!testing_support::WaitUntil([&box] { return (box = OwnBox()) != nullptr; }, 30s)) {
        return;
      }
      shown = TextsOf(box);
      pressed = PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(one.button), 0) != 0;
    });
    const zip::EntryAnswer answer = zip::SystemPrompt().Ask(text);
    user.join();
    ASSERT_TRUE(pressed) << "no box under the application's title";
    EXPECT_EQ(answer, one.answer) << one.button;
    EXPECT_EQ(shown, text);
  }
}

}  // namespace
