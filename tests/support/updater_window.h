// The updater's window as another program sees it: found by its class and
// caption, read and driven through the messages of its controls, as
// automation and accessibility tools do. Windows only.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

std::wstring TextOf(HWND window);
// The same text in UTF-8, as the product's texts are written.
std::string Utf8TextOf(HWND window);
std::wstring ClassOf(HWND window);
// Within 3 per channel: what anti-aliasing and rounding leave of a colour.
bool NearColor(COLORREF actual, COLORREF expected);

class UpdaterWindow {
 public:
  // The visible form of an updater of this session, waited for up to
  // `timeout`; nullptr when there is none.
  static HWND FindForm(std::chrono::milliseconds timeout);

  // Reads the form's controls; the form must exist.
  explicit UpdaterWindow(HWND form);

  HWND form() const { return form_; }
  HWND main_label() const { return labels_.at(0); }
  HWND secondary_label() const { return labels_.at(1); }
  HWND main_bar() const { return bars_.at(0); }
  HWND secondary_bar() const { return bars_.at(1); }
  HWND details_check() const { return buttons_.at(0); }
  HWND close_button() const { return buttons_.at(1); }
  HWND auto_close_check() const { return buttons_.at(2); }
  HWND memo() const { return memos_.at(0); }
  bool complete() const;

  // The log, one "\n" after each line.
  std::string Log() const;
  // The bar's position, maximum and colour, by the progress bar's messages.
  static int Position(HWND bar);
  static int Maximum(HWND bar);
  static COLORREF Color(HWND bar);
  static bool Checked(HWND check);
  // Presses the button as a click would, without waiting for its handler.
  static void Click(HWND button);

 private:
  HWND form_;
  std::vector<HWND> labels_, bars_, buttons_, memos_;
};

// The whole screen as a 24-bit BMP file: the test's artefact, for a person
// to look at, and the pixels it holds for the test.
class Screenshot {
 public:
  Screenshot();
  COLORREF At(int x, int y) const;
  void Save(const std::filesystem::path& file) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<unsigned char> rows_;  // bottom row first, as the file has them
};

}  // namespace testing_support
