// The Win32 toolkit seen from outside: the form of the updater is built
// through the portable interface, then read and driven by window messages to
// its real windows, as automation tools and other programs do. Needs a display.
// clang-format off
// windows.h first: commctrl.h needs its types.
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/ui.h"
#include "platform/win32/gdi.h"
#include "platform/win32/unique_handle.h"

namespace {

namespace ui = platform::ui;
using platform::win32::ObjectSelection;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueHandle;
using platform::win32::UniqueMemoryDc;
using platform::win32::WindowDc;

constexpr ui::Color kNormalFrom = 0x0031D329;
constexpr ui::Color kNormalTo = 0x00ADEFAD;
constexpr ui::Color kFailureFrom = 0x003136C9;
constexpr ui::Color kFailureTo = 0x00ADA6F0;

constexpr wchar_t kTitle[] = L"Kelvane Updater";
constexpr wchar_t kCaption[] = L"Mise à jour de Kelvane";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

// What a program built without UNICODE reads: the system converts to its code page.
std::string AnsiTextOf(HWND window) {
  EXPECT_EQ(GetACP(), 1252u) << "the expected A texts are in code page 1252";
  char text[256] = {};
  const auto copied = SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return std::string(text, static_cast<std::size_t>(copied));
}

// A top-level window of this process: the updater that another test starts
// has a form of the same class and caption, and error boxes of the same title.
HWND OwnWindow(const wchar_t* class_name, const wchar_t* caption) {
  for (HWND window = FindWindowExW(nullptr, nullptr, class_name, caption); window != nullptr;
       window = FindWindowExW(nullptr, window, class_name, caption)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

// The children of one class, in the order they were created (their z-order).
std::vector<HWND> Children(HWND parent, const wchar_t* class_name) {
  std::vector<HWND> children;
  for (HWND child = FindWindowExW(parent, nullptr, class_name, nullptr); child != nullptr;
       child = FindWindowExW(parent, child, class_name, nullptr)) {
    children.push_back(child);
  }
  return children;
}

RECT RectInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LONG_PTR StyleOf(HWND window) { return GetWindowLongPtrW(window, GWL_STYLE); }

// Dispatches what comes for `milliseconds`.
void PumpFor(ui::Application& application, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    application.ProcessMessages();
  }
}

// The window's client pixels as they are on the screen.
class Capture {
 public:
  explicit Capture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    WindowDc source(window);
    UniqueMemoryDc memory(CreateCompatibleDC(source.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap dib(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib) throw std::runtime_error("CreateDIBSection failed");
    {
      ObjectSelection selection(memory.get(), dib.get());
      BitBlt(memory.get(), 0, 0, width_, height_, source.get(), 0, 0, SRCCOPY);
      GdiFlush();
    }
    const auto* first = static_cast<const std::uint32_t*>(bits);
    pixels_.assign(first,
                   first + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
  }

  int width() const { return width_; }
  int height() const { return height_; }
  // As a COLORREF, 0x00BBGGRR (the DIB holds 0x00RRGGBB).
  ui::Color At(int x, int y) const {
    const std::uint32_t pixel = pixels_.at(static_cast<std::size_t>(y * width_ + x));
    return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
  }
  // The first `columns` columns of every row.
  bool SameLeftPart(const Capture& other, int columns) const {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < columns; ++x) {
        if (At(x, y) != other.At(x, y)) return false;
      }
    }
    return true;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

std::string Hex(ui::Color color) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(color));
  return text;
}

// Within 2 per channel.
testing::AssertionResult Near(ui::Color actual, ui::Color expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > 2) {
      return testing::AssertionFailure() << Hex(actual) << " is not near " << Hex(expected);
    }
  }
  return testing::AssertionSuccess();
}

// CTest runs these tests as parallel processes on one display: the form of
// one would cover another's on the screen and take its activation and
// focus. A mutex of the session makes them take turns; a holder that dies
// abandons it to the next.
class DisplayTurn {
 public:
  DisplayTurn() : mutex_(CreateMutexW(nullptr, FALSE, L"KelvaneWin32UiTestDisplay")) {
    if (!mutex_ || WaitForSingleObject(mutex_.get(), 120000) == WAIT_TIMEOUT) {
      throw std::runtime_error("no turn at the display within 2 minutes");
    }
  }
  DisplayTurn(const DisplayTurn&) = delete;
  DisplayTurn& operator=(const DisplayTurn&) = delete;
  ~DisplayTurn() { ReleaseMutex(mutex_.get()); }

 private:
  UniqueHandle mutex_;
};

// Waits, on a thread of its own, for error boxes under the application's
// title, notes what each shows and presses its OK button.
class ErrorBoxWatcher {
 public:
  struct Box {
    HWND owner = nullptr;
    std::vector<std::wstring> texts;
    bool error_icon = false;
  };

  ErrorBoxWatcher() : thread_([this] { Watch(); }) {}
  ErrorBoxWatcher(const ErrorBoxWatcher&) = delete;
  ErrorBoxWatcher& operator=(const ErrorBoxWatcher&) = delete;
  ~ErrorBoxWatcher() {
    stop_ = true;
    thread_.join();
  }

  // The boxes that have been dismissed and are gone.
  std::vector<Box> boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
  }

 private:
  void Watch() {
    while (!stop_) {
      // Visible once the box has been filled in: its caption comes before its text.
      HWND box = OwnWindow(L"#32770", kTitle);
      if (box == nullptr || !IsWindowVisible(box)) {
        Sleep(10);
        continue;
      }
      Box seen = Read(box);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      while (!stop_ && IsWindow(box)) Sleep(10);
      std::lock_guard lock(mutex_);
      boxes_.push_back(std::move(seen));
    }
  }

  static Box Read(HWND box) {
    Box seen;
    seen.owner = GetWindow(box, GW_OWNER);
    HICON error_icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_ERROR));
    for (HWND child : Children(box, L"Static")) {
      if ((StyleOf(child) & SS_TYPEMASK) == SS_ICON) {
        seen.error_icon |=
            reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) == error_icon;
      } else {
        seen.texts.push_back(TextOf(child));
      }
    }
    return seen;
  }

  mutable std::mutex mutex_;
  std::vector<Box> boxes_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

// Ends a message loop that did not end by itself, and says so.
class LoopWatchdog {
 public:
  explicit LoopWatchdog(UINT milliseconds) : id_(SetTimer(nullptr, 0, milliseconds, &Fire)) {
    fired_ = false;
  }
  LoopWatchdog(const LoopWatchdog&) = delete;
  LoopWatchdog& operator=(const LoopWatchdog&) = delete;
  ~LoopWatchdog() { KillTimer(nullptr, id_); }
  static bool fired() { return fired_; }

 private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) {
    fired_ = true;
    PostQuitMessage(0);
  }

  static inline bool fired_ = false;
  UINT_PTR id_;
};

// The updater's window as the program builds it.
class Win32UiTest : public testing::Test {
 protected:
  static std::unique_ptr<ui::Application> TitledApplication() {
    auto application = ui::CreateNativeApplication();
    application->SetTitle("Kelvane Updater");
    return application;
  }

  // Shows the form as Run would, for the tests that look at pixels or focus.
  void ShowForm() {
    ShowWindow(form_window_, SW_SHOWNORMAL);
    form_->RepaintNow();
  }

  HWND BarWindow(int index) const {
    return Children(form_window_, L"KelvaneProgressBar").at(index);
  }
  HWND LabelWindow(int index) const { return Children(form_window_, L"Static").at(index); }
  HWND ButtonWindow(const wchar_t* text) const {
    return FindWindowExW(form_window_, nullptr, L"Button", text);
  }

  // First in, last out: the windows exist only during the turn.
  const DisplayTurn display_turn_;
  std::unique_ptr<ui::Application> application_ = TitledApplication();
  std::unique_ptr<ui::Form> form_ =
      application_->CreateForm({"TUpdateForm", "Mise à jour de Kelvane", 361, 217});
  ui::Label& main_label_ = form_->AddLabel({8, 8, 68, 13}, "En attente ...");
  ui::ProgressBar& main_bar_ = form_->AddProgressBar({8, 27, 345, 17}, 9, kNormalFrom, kNormalTo);
  ui::Label& secondary_label_ = form_->AddLabel({8, 50, 68, 13}, "En attente ...");
  ui::ProgressBar& secondary_bar_ =
      form_->AddProgressBar({8, 69, 345, 17}, 100, kNormalFrom, kNormalTo);
  ui::Memo& memo_ = form_->AddMemo({16, 92, 329, 94});
  ui::CheckBox& details_ = form_->AddCheckBox({8, 196, 57, 17}, "Détails");
  ui::Button& close_ = form_->AddButton({272, 192, 81, 21}, "Fermer");
  ui::CheckBox& auto_close_ = form_->AddCheckBox({71, 196, 130, 17}, "Fermer quand terminé");
  ui::Timer& timer_ = form_->AddTimer(100);
  HWND form_window_ = OwnWindow(L"TUpdateForm", kCaption);
};

TEST_F(Win32UiTest, FormIsAHiddenToolWindowWithoutSystemMenuOwnedByTheApplicationWindow) {
  ASSERT_NE(form_window_, nullptr)
      << "no top-level window of class TUpdateForm with the French caption";
  EXPECT_EQ(ClassOf(form_window_), L"TUpdateForm");
  EXPECT_EQ(AnsiTextOf(form_window_), "Mise \xE0 jour de Kelvane");
  EXPECT_FALSE(IsWindowVisible(form_window_)) << "shown before Run";

  const LONG_PTR style = StyleOf(form_window_);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD), 0);
  EXPECT_NE(GetWindowLongPtrW(form_window_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  RECT client{};
  GetClientRect(form_window_, &client);
  EXPECT_EQ(client.right, 361);
  EXPECT_EQ(client.bottom, 217);
  EXPECT_EQ(GetClassLongPtrW(form_window_, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);

  // The taskbar button's window: titled, not a tool window.
  HWND application_window = GetWindow(form_window_, GW_OWNER);
  ASSERT_NE(application_window, nullptr);
  EXPECT_EQ(GetAncestor(application_window, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(TextOf(application_window), kTitle);
  EXPECT_EQ(GetWindowLongPtrW(application_window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

TEST_F(Win32UiTest, EveryChildIsARealWindowInTahoma8) {
  std::vector<HWND> children;
  EnumChildWindows(
      form_window_,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  ASSERT_EQ(children.size(), 8u);
  for (HWND child : children) {
    SCOPED_TRACE(ClassOf(child));
    LOGFONTW font{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)),
                         sizeof font, &font),
              0);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
  }
}

TEST_F(Win32UiTest, OuterHeightAndPositionAreThoseOfTheWholeWindow) {
  const int width = form_->Width();
  form_->SetHeight(241);
  RECT outer{};
  GetWindowRect(form_window_, &outer);
  EXPECT_EQ(outer.bottom - outer.top, 241);
  EXPECT_EQ(outer.right - outer.left, width);
  EXPECT_EQ(form_->Height(), 241);
  RECT client{};
  GetClientRect(form_window_, &client);
  EXPECT_EQ(client.right, 361) << "the width must not change with the height";

  form_->SetHeight(145);
  form_->SetTop(300);
  form_->SetLeft(400);
  GetWindowRect(form_window_, &outer);
  EXPECT_EQ(outer.bottom - outer.top, 145);
  EXPECT_EQ(outer.top, 300);
  EXPECT_EQ(outer.left, 400);
  EXPECT_EQ(form_->Top(), 300);
  EXPECT_EQ(form_->Left(), 400);
  EXPECT_EQ(form_->Width(), width);
}

TEST_F(Win32UiTest, LabelsReadBackTheirTextAndTakeItsWidth) {
  ASSERT_EQ(Children(form_window_, L"Static").size(), 2u);
  HWND label = LabelWindow(0);
  EXPECT_EQ(TextOf(label), L"En attente ...");
  EXPECT_EQ(StyleOf(label) & (SS_TYPEMASK | SS_NOPREFIX), SS_LEFT | SS_NOPREFIX);

  const auto width_of = [&label] {
    const RECT rect = RectInParent(label);
    return rect.right - rect.left;
  };
  const auto extent_of = [&label](const std::wstring& text) {
    WindowDc dc(label);
    ObjectSelection font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return static_cast<int>(extent.cx);
  };
  const int waiting_width = width_of();
  EXPECT_EQ(waiting_width, extent_of(L"En attente ..."));

  main_label_.SetCaption("La mise à jour a échoué");
  EXPECT_EQ(TextOf(label), L"La mise à jour a échoué");
  EXPECT_EQ(AnsiTextOf(label), "La mise \xE0 jour a \xE9\x63hou\xE9");
  EXPECT_EQ(width_of(), extent_of(L"La mise à jour a échoué"));
  EXPECT_GT(width_of(), waiting_width);

  main_label_.SetCaption("OK");
  EXPECT_LT(width_of(), waiting_width);
  const RECT rect = RectInParent(label);
  EXPECT_EQ(rect.bottom - rect.top, 13);
  EXPECT_EQ(rect.left, 8);
  EXPECT_EQ(TextOf(LabelWindow(1)), L"En attente ...") << "the other label must keep its text";
}

TEST_F(Win32UiTest, NewLabelTextShowsAtTheNextRepaintNotBefore) {
  ShowForm();
  HWND label = LabelWindow(0);
  const Capture before(label);
  main_label_.SetCaption("Recherche d'un miroir");
  const Capture changed(label);
  EXPECT_TRUE(changed.SameLeftPart(before, std::min(before.width(), changed.width())))
      << "the new text was painted at once";
  form_->RepaintNow();
  const Capture repainted(label);
  EXPECT_FALSE(repainted.SameLeftPart(before, std::min(before.width(), repainted.width())))
      << "RepaintNow did not paint the new text";
}

TEST_F(Win32UiTest, CheckBoxesReadBackTheirFrenchCaptionsAndFollowTheModel) {
  HWND details = ButtonWindow(L"Détails");
  HWND auto_close = ButtonWindow(L"Fermer quand terminé");
  ASSERT_NE(details, nullptr);
  ASSERT_NE(auto_close, nullptr);
  EXPECT_EQ(AnsiTextOf(details), "D\xE9tails");

  for (auto [box, window] : {std::pair{&details_, details}, std::pair{&auto_close_, auto_close}}) {
    SCOPED_TRACE(TextOf(window));
    EXPECT_EQ(StyleOf(window) & (BS_TYPEMASK | WS_TABSTOP), BS_CHECKBOX | WS_TABSTOP);
    int clicks = 0;
    bool checked_in_handler = false;
    box->on_click = [&] {
      ++clicks;
      checked_in_handler = box->Checked();
    };

    box->SetChecked(true);
    EXPECT_EQ(SendMessageW(window, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(clicks, 0) << "SetChecked must call no handler";

    SendMessageW(window, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(box->Checked());
    EXPECT_FALSE(checked_in_handler) << "the handler must see the inverted state";
    EXPECT_EQ(SendMessageW(window, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SendMessageW(window, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(SendMessageW(window, BM_GETCHECK, 0, 0), BST_CHECKED);
  }
}

TEST_F(Win32UiTest, ButtonIsAPlainPushButtonClickableFromOutside) {
  HWND button = ButtonWindow(L"Fermer");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(StyleOf(button) & (BS_TYPEMASK | WS_TABSTOP), BS_PUSHBUTTON | WS_TABSTOP);
  int clicks = 0;
  close_.on_click = [&clicks] { ++clicks; };
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Win32UiTest, ControlsMoveAndHideTheirWindows) {
  HWND memo = FindWindowExW(form_window_, nullptr, L"Edit", nullptr);
  ASSERT_NE(memo, nullptr);
  memo_.SetVisible(false);
  EXPECT_EQ(StyleOf(memo) & WS_VISIBLE, 0);
  memo_.SetVisible(true);
  EXPECT_NE(StyleOf(memo) & WS_VISIBLE, 0);
  main_label_.SetVisible(false);
  main_label_.SetCaption("Vérification du miroir");
  EXPECT_EQ(StyleOf(LabelWindow(0)) & WS_VISIBLE, 0) << "a new caption showed a hidden label";

  details_.SetTop(100);
  close_.SetTop(96);
  EXPECT_EQ(RectInParent(ButtonWindow(L"Détails")).top, 100);
  EXPECT_EQ(RectInParent(ButtonWindow(L"Détails")).left, 8);
  EXPECT_EQ(RectInParent(ButtonWindow(L"Fermer")).top, 96);
  EXPECT_EQ(RectInParent(ButtonWindow(L"Fermer")).right, 272 + 81);
}

TEST_F(Win32UiTest, MemoTakesMoreThanTheEditDefaultLimitAndScrollsByLines) {
  HWND memo = FindWindowExW(form_window_, nullptr, L"Edit", nullptr);
  ASSERT_NE(memo, nullptr);
  const LONG_PTR style = StyleOf(memo);
  EXPECT_EQ(style & (ES_MULTILINE | ES_READONLY | WS_VSCROLL),
            ES_MULTILINE | ES_READONLY | WS_VSCROLL);
  EXPECT_EQ(style & (WS_HSCROLL | ES_AUTOHSCROLL), 0);

  // 400 lines of 80 characters and a line break: 32,800 characters.
  const std::string dots(60, '.');
  for (int i = 1000; i < 1400; ++i) memo_.AppendLine("- Téléchargement" + dots + std::to_string(i));
  EXPECT_EQ(SendMessageW(memo, WM_GETTEXTLENGTH, 0, 0), 400 * 82);
  const std::wstring last = L"- Téléchargement" + std::wstring(60, L'.') + L"1399\r\n";
  const std::wstring text = TextOf(memo);
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
  EXPECT_EQ(text.substr(0, 6), L"- Télé");
  DWORD selection_start = 0;
  DWORD selection_end = 0;
  SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&selection_start),
               reinterpret_cast<LPARAM>(&selection_end));
  EXPECT_EQ(selection_start, 400u * 82u) << "the caret must stay after the last line";
  EXPECT_EQ(selection_end, 400u * 82u);

  memo_.ScrollLines(-100000);
  EXPECT_EQ(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  memo_.ScrollLines(3);
  EXPECT_EQ(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 3);
}

TEST_F(Win32UiTest, BarsAnswerLikeTheSystemProgressBarAndTakeNoOrders) {
  ASSERT_EQ(Children(form_window_, L"KelvaneProgressBar").size(), 2u);
  PBRANGE range{-1, -1};
  EXPECT_EQ(SendMessageW(BarWindow(0), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)), 9);
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 9);
  EXPECT_EQ(SendMessageW(BarWindow(0), PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageW(BarWindow(1), PBM_GETRANGE, FALSE, 0), 100);

  struct Case {
    const char* what;
    int max;
    int position;
    int expected_max;
    int expected_position;
  };
  const Case cases[] = {
      {"within the range", 6, 4, 6, 4},
      {"position above the maximum shows a full bar", 2, 6, 2, 2},
      {"negative position stays at the minimum", 6, -3, 6, 0},
      {"negative maximum stays at the minimum", -5, 1, 0, 0},
  };
  HWND bar = BarWindow(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    secondary_bar_.SetMax(c.max);
    secondary_bar_.SetPosition(c.position);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), c.expected_position);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), c.expected_max);
  }
  secondary_bar_.SetMax(10);
  secondary_bar_.SetPosition(8);
  secondary_bar_.SetMax(3);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 3) << "a lower maximum takes the position down";

  EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), kNormalFrom);
  secondary_bar_.SetBarColors(kFailureFrom, kFailureTo);
  EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), kFailureFrom);
  EXPECT_EQ(SendMessageW(BarWindow(0), PBM_GETBARCOLOR, 0, 0), kNormalFrom)
      << "the other bar changed too";

  SendMessageW(bar, PBM_SETRANGE32, 0, 50);
  SendMessageW(bar, PBM_SETPOS, 1, 0);
  SendMessageW(bar, PBM_SETBARCOLOR, 0, 0x00FF0000);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 3);
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 3);
  EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), kFailureFrom);
  EXPECT_EQ(secondary_bar_.Position(), 3);
}

struct BarPaintCase {
  const char* name;
  ui::Color from;
  ui::Color to;
};

void PrintTo(const BarPaintCase& colours, std::ostream* out) { *out << colours.name; }

class BarPaintTest : public Win32UiTest, public testing::WithParamInterface<BarPaintCase> {};

TEST_P(BarPaintTest, FilledPartIsTwoGradientsMeetingAtTheMiddleAndTheRestWindowColour) {
  ShowForm();
  HWND bar = BarWindow(1);
  secondary_bar_.SetMax(4);
  secondary_bar_.SetPosition(2);
  secondary_bar_.SetBarColors(GetParam().from, GetParam().to);
  form_->RepaintNow();

  const Capture painted(bar);
  ASSERT_EQ(painted.width(), 345);
  ASSERT_EQ(painted.height(), 17);
  const ui::Color window_colour = GetSysColor(COLOR_WINDOW);
  // Inside a border of one pixel: rows 1 to 15, the middle one row 8.
  constexpr int kTop = 1;
  constexpr int kMiddle = 8;
  constexpr int kBottom = 15;
  for (int x : {2, 85, 160}) {
    SCOPED_TRACE(x);
    EXPECT_TRUE(Near(painted.At(x, kMiddle), GetParam().from));
    EXPECT_TRUE(Near(painted.At(x, kTop), GetParam().to));
    EXPECT_TRUE(Near(painted.At(x, kBottom), GetParam().to));
  }
  // Between the middle and the edges, on both sides alike.
  EXPECT_FALSE(Near(painted.At(85, 4), GetParam().from));
  EXPECT_FALSE(Near(painted.At(85, 4), GetParam().to));
  EXPECT_EQ(painted.At(85, 4), painted.At(85, 12));
  for (int x : {185, 260, 342}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(painted.At(x, kMiddle), window_colour);
    EXPECT_EQ(painted.At(x, kTop), window_colour);
  }

  // A change is painted at the next repaint, not before.
  secondary_bar_.SetPosition(4);
  EXPECT_EQ(Capture(bar).At(260, kMiddle), window_colour);
  form_->RepaintNow();
  EXPECT_TRUE(Near(Capture(bar).At(260, kMiddle), GetParam().from));
  EXPECT_TRUE(Near(Capture(bar).At(342, kMiddle), GetParam().from));
}

INSTANTIATE_TEST_SUITE_P(Colours, BarPaintTest,
                         testing::Values(BarPaintCase{"normal", kNormalFrom, kNormalTo},
                                         BarPaintCase{"failure", kFailureFrom, kFailureTo}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(Win32UiTest, BarWithoutMaximumShowsNoFill) {
  ShowForm();
  secondary_bar_.SetMax(0);
  secondary_bar_.SetPosition(5);
  form_->RepaintNow();
  EXPECT_EQ(Capture(BarWindow(1)).At(2, 8), GetSysColor(COLOR_WINDOW));
}

// A close request comes to the form, or to the application's window from the taskbar.
enum class CloseTarget { kForm, kApplicationWindow };

const char* NameOf(CloseTarget target) {
  return target == CloseTarget::kForm ? "Form" : "ApplicationWindow";
}
void PrintTo(CloseTarget target, std::ostream* out) { *out << NameOf(target); }

class CloseRequestTest : public Win32UiTest, public testing::WithParamInterface<CloseTarget> {
 protected:
  HWND Target() const {
    return GetParam() == CloseTarget::kForm ? form_window_ : GetWindow(form_window_, GW_OWNER);
  }
};

TEST_P(CloseRequestTest, RefusedWhileTheQuerySaysNoThenClosesAndEndsTheApplication) {
  bool allowed = false;
  int queries = 0;
  form_->on_close_query = [&] {
    ++queries;
    return allowed;
  };
  SendMessageW(Target(), WM_CLOSE, 0, 0);
  EXPECT_EQ(queries, 1);
  EXPECT_TRUE(IsWindow(form_window_));
  application_->ProcessMessages();
  EXPECT_FALSE(application_->Terminated()) << "a refused close must not end the application";

  allowed = true;
  SendMessageW(Target(), WM_CLOSE, 0, 0);
  EXPECT_EQ(queries, 2);
  EXPECT_FALSE(IsWindow(form_window_));
  application_->ProcessMessages();
  EXPECT_TRUE(application_->Terminated());
}

TEST_P(CloseRequestTest, EndOfSessionGetsTheQuerysAnswer) {
  bool allowed = false;
  form_->on_close_query = [&allowed] { return allowed; };
  EXPECT_EQ(SendMessageW(Target(), WM_QUERYENDSESSION, 0, 0), FALSE);
  allowed = true;
  EXPECT_EQ(SendMessageW(Target(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_TRUE(IsWindow(form_window_)) << "the query alone must not close the window";
}

INSTANTIATE_TEST_SUITE_P(Targets, CloseRequestTest,
                         testing::Values(CloseTarget::kForm, CloseTarget::kApplicationWindow),
                         [](const auto& test) { return std::string(NameOf(test.param)); });

TEST_F(Win32UiTest, RunShowsTheFormAndGoesOnAfterAHandlerFails) {
  const ErrorBoxWatcher watcher;
  HWND button = ButtonWindow(L"Fermer");
  int clicks = 0;
  close_.on_click = [&] {
    if (++clicks == 1) throw std::runtime_error("Le téléchargement a échoué");
    application_->Terminate();
  };
  bool shown = false;
  int ticks = 0;
  timer_.on_timer = [&] {
    ++ticks;
    if (ticks == 1) {
      shown = IsWindowVisible(form_window_) && IsWindowVisible(GetWindow(form_window_, GW_OWNER));
      PostMessageW(button, BM_CLICK, 0, 0);
    } else if (clicks == 1 && !watcher.boxes().empty()) {
      // The box is gone: the loop is Run's again.
      PostMessageW(button, BM_CLICK, 0, 0);
    }
  };
  const LoopWatchdog watchdog(20000);

  application_->Run(*form_);

  EXPECT_FALSE(LoopWatchdog::fired()) << "Run did not end";
  EXPECT_TRUE(shown);
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(application_->Terminated());
  const auto boxes = watcher.boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, form_window_);
  EXPECT_TRUE(boxes[0].error_icon);
  EXPECT_NE(std::find(boxes[0].texts.begin(), boxes[0].texts.end(), L"Le téléchargement a échoué"),
            boxes[0].texts.end());
}

TEST_F(Win32UiTest, RunEndsWhenAHandlersProcessMessagesTookTheQuit) {
  bool terminated_in_handler = false;
  timer_.on_timer = [&] {
    timer_.SetEnabled(false);
    application_->Terminate();
    application_->ProcessMessages();
    terminated_in_handler = application_->Terminated();
  };
  const LoopWatchdog watchdog(5000);
  application_->Run(*form_);
  EXPECT_TRUE(terminated_in_handler);
  EXPECT_FALSE(LoopWatchdog::fired()) << "Run waited for a second quit request";
}

TEST_F(Win32UiTest, ProcessMessagesDispatchesWhatIsPendingAndTakesTheQuit) {
  int clicks = 0;
  close_.on_click = [&clicks] { ++clicks; };
  PostMessageW(ButtonWindow(L"Fermer"), BM_CLICK, 0, 0);
  application_->Terminate();
  EXPECT_FALSE(application_->Terminated()) << "the request is not taken before messages flow";
  application_->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(application_->Terminated());
}

TEST_F(Win32UiTest, TimerTicksWhileEnabledOnly) {
  ui::Timer& timer = form_->AddTimer(20);
  int ticks = 0;
  timer.on_timer = [&ticks] { ++ticks; };
  PumpFor(*application_, 300);
  EXPECT_GE(ticks, 2) << "a new timer is armed at once";
  timer.SetEnabled(false);
  const int ticks_when_disabled = ticks;
  PumpFor(*application_, 200);
  EXPECT_EQ(ticks, ticks_when_disabled);
  timer.SetEnabled(true);
  PumpFor(*application_, 200);
  EXPECT_GT(ticks, ticks_when_disabled);
}

TEST_F(Win32UiTest, TabMovesBetweenTheCheckBoxesAndTheButtonOnly) {
  ShowForm();
  HWND details = ButtonWindow(L"Détails");
  HWND close = ButtonWindow(L"Fermer");
  HWND auto_close = ButtonWindow(L"Fermer quand terminé");
  EXPECT_EQ(GetFocus(), details) << "showing the form must focus its first tab stop";
  SetFocus(details);
  ASSERT_EQ(GetFocus(), details);
  // Creation order is tab order; the log and the labels are no stops.
  for (HWND expected : {close, auto_close, details}) {
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    application_->ProcessMessages();
    EXPECT_EQ(GetFocus(), expected) << ClassOf(GetFocus());
  }
  EXPECT_EQ(StyleOf(close) & BS_TYPEMASK, BS_PUSHBUTTON) << "the button became a default button";
}

}  // namespace
