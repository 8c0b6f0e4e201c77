// What the terminal window shows, as plain data, and its rendering into the
// lines of a terminal: a pure function, so that the look is tested without
// a terminal. Texts are UTF-8, and a code point takes one column.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/ui.h"

namespace platform::posix {

struct TextItem {
  std::string_view text;
};
struct CheckItem {
  std::string_view caption;
  bool checked = false;
};
struct ButtonItem {
  std::string_view caption;
};
using InlineItem = std::variant<TextItem, CheckItem, ButtonItem>;

// Controls side by side on one line, left to right.
struct InlineRow {
  std::vector<InlineItem> items;
};
struct BarRow {
  int position = 0;
  int max = 0;
  ui::Color color = 0;
};
// The whole log; the window shows its last kLogRows lines.
struct LogRows {
  std::span<const std::string> lines;
};
using ScreenRow = std::variant<InlineRow, BarRow, LogRows>;

struct KeyHelp {
  std::string_view keys;
  std::string_view action;
};

// The strings it views belong to the controls; a model lives for one paint.
struct ScreenModel {
  std::string_view caption;
  std::vector<ScreenRow> rows;  // top to bottom
  std::vector<KeyHelp> keys;
  std::string_view status;  // the last error, empty when none
};

// The log keeps this height whatever its length, so that the window keeps
// its proportions.
inline constexpr int kLogRows = 7;
// Narrower is not readable; a narrower `width` is taken as this.
inline constexpr int kMinimumWidth = 24;

// The window in lines of `width` columns each; colours are 24-bit ANSI
// escapes, which take no column.
std::vector<std::string> RenderScreen(const ScreenModel& model, int width);

// The bytes that paint `lines` over the previous frame from the top-left
// corner: every line cleared to its end, and below the last one, so that
// nothing flickers and nothing of a taller frame stays.
std::string FrameBytes(std::span<const std::string> lines);

}  // namespace platform::posix
