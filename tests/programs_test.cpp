// The installation's other programs: one started from the current folder,
// and windows asked to close, one that answers and one that is hung.
#include "platform/programs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "platform/file_system.h"
#include "support/temp_folder.h"
#include "support/touch_file.h"
#include "support/wait_for_file.h"

#ifdef _WIN32
#include <windows.h>

#include <future>
#include <mutex>
#include <thread>
#include <vector>
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::TempFolder;

// Makes `folder` the current one for as long as it lives.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
  }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;
  ~InFolder() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
  }

 private:
  fs::path previous_;
};

TEST(StartProgram, StartsTheProgramOfTheCurrentFolderThere) {
  const TempFolder folder;
  // A name that nothing beside the test has: only the current folder's copy
  // can answer to it.
  const std::string name =
      std::string("stand-in").append(fs::path(KELVANE_TOUCH_FILE_NAME).extension().string());
  fs::copy_file(platform::ExecutableFolder() + KELVANE_TOUCH_FILE_NAME, folder.path() / name);
  {
    const InFolder current(folder.path());
    platform::StartProgram(name);
  }
  EXPECT_TRUE(testing_support::WaitForFile(folder.path() / testing_support::kTouchMarker, 30s));
}

std::string UniqueCaption() {
  return std::string("Kelvane test window ").append(std::to_string(std::random_device{}()));
}

TEST(AskWindowToClose, IsFalseWhenNoWindowHasTheCaption) {
  EXPECT_FALSE(platform::AskWindowToClose(UniqueCaption(), 100ms));
}

#ifdef _WIN32

// A top-level window on a thread of its own, which records the two
// requests; a hung one handles no message until it is let go.
class TestWindow {
 public:
  TestWindow(const std::string& caption, bool hung)
      : hung_(hung), thread_([this, caption] { Run(caption); }) {
    window_ = created_.get_future().get();
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  ~TestWindow() {
    let_go_.set_value();
    PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
    thread_.join();
  }

  HWND handle() const { return window_; }
  std::vector<UINT> Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && (message == WM_QUERYENDSESSION || message == WM_CLOSE)) {
      const std::lock_guard lock(self->mutex_);
      self->requests_.push_back(message);
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }

  void Run(const std::string& caption) {
    thread_id_ = GetCurrentThreadId();
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "KelvaneTestWindow";
    RegisterClassA(&window_class);  // fails harmlessly for every window after the first
    const HWND window =
        CreateWindowExA(0, window_class.lpszClassName, caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                        200, 100, nullptr, nullptr, window_class.hInstance, nullptr);
    if (window != nullptr) {
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    created_.set_value(window);
    if (window == nullptr) return;
    if (hung_) let_go_.get_future().wait();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    if (IsWindow(window)) DestroyWindow(window);
  }

  const bool hung_;
  DWORD thread_id_ = 0;
  HWND window_ = nullptr;
  std::promise<HWND> created_;
  std::promise<void> let_go_;
  mutable std::mutex mutex_;
  std::vector<UINT> requests_;
  std::thread thread_;
};

TEST(AskWindowToClose, SendsTheEndOfSessionQueryAndThenTheCloseRequest) {
  const std::string caption = UniqueCaption();
  const TestWindow window(caption, false);
  ASSERT_NE(window.handle(), nullptr) << "no window could be made";
  EXPECT_TRUE(platform::AskWindowToClose(caption, 5s));
  EXPECT_EQ(window.Requests(), (std::vector<UINT>{WM_QUERYENDSESSION, WM_CLOSE}));
  EXPECT_FALSE(IsWindow(window.handle())) << "the close request's default handling ends it";
}

TEST(AskWindowToClose, WaitsForAHungWindowNoLongerThanItIsTold) {
  const std::string caption = UniqueCaption();
  // Declared first so that it ends last: were the call to wait for the
  // answers, the window's end lets it go at last.
  std::future<bool> asked;
  const TestWindow window(caption, true);
  ASSERT_NE(window.handle(), nullptr) << "no window could be made";
  asked =
      std::async(std::launch::async, [&] { return platform::AskWindowToClose(caption, 200ms); });
  ASSERT_EQ(asked.wait_for(10s), std::future_status::ready) << "held by a hung window";
  EXPECT_TRUE(asked.get());
  EXPECT_TRUE(window.Requests().empty());
}

#endif

}  // namespace
