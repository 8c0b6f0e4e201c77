// The window's look in a terminal: a box-drawn frame with the caption in its
// top edge, one line per row of controls, the log's last lines, a status
// line for errors and, under the frame, the keys that operate it.
#include "platform/posix/terminal_screen.h"

#include <algorithm>
#include <cstdint>

namespace platform::posix {
namespace {

constexpr std::string_view kFilledCell = "█";
constexpr std::string_view kEmptyCell = "░";
constexpr std::string_view kHorizontal = "─";
constexpr std::string_view kEllipsis = "…";
constexpr std::string_view kResetColor = "\x1b[0m";
constexpr std::string_view kItemGap = "  ";
constexpr std::string_view kHelpGap = " · ";
// "│ " and " │" around every row's content.
constexpr std::size_t kBorderColumns = 4;

template <class... Visitors>
struct Overloaded : Visitors... {
  using Visitors::operator()...;
};

bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

std::size_t Columns(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char byte) { return !IsContinuationByte(byte); }));
}

// The length in bytes of the first `columns` code points of `text`.
std::size_t PrefixBytes(std::string_view text, std::size_t columns) {
  std::size_t bytes = 0;
  for (std::size_t seen = 0; bytes < text.size(); ++bytes) {
    if (IsContinuationByte(text[bytes])) continue;
    if (seen == columns) break;
    ++seen;
  }
  return bytes;
}

std::string Repeat(std::string_view piece, std::size_t count) {
  std::string repeated;
  repeated.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i) repeated += piece;
  return repeated;
}

// `text` in at most `width` columns, the end cut off behind an ellipsis.
// Control characters become spaces: a log line must not move the cursor.
std::string Cut(std::string_view text, std::size_t width) {
  std::string cut(text);
  if (Columns(text) > width) {
    cut.resize(width == 0 ? 0 : PrefixBytes(text, width - 1));
    if (width > 0) cut += kEllipsis;
  }
  std::replace_if(
      cut.begin(), cut.end(),
      [](char byte) { return static_cast<unsigned char>(byte) < 0x20 || byte == '\x7f'; }, ' ');
  return cut;
}

// `text` in exactly `width` columns.
std::string Fit(std::string_view text, std::size_t width) {
  std::string fitted = Cut(text, width);
  fitted.append(width - Columns(fitted), ' ');
  return fitted;
}

std::string Framed(std::string_view content) {
  std::string row = "│ ";
  row += content;
  row += " │";
  return row;
}

std::string Edge(std::string_view left, std::string_view right, std::size_t width) {
  return std::string(left) + Repeat(kHorizontal, width - 2) + std::string(right);
}

std::string TopEdge(std::string_view caption, std::size_t width) {
  // At least one horizontal piece stays after the caption.
  const std::string title = Cut(caption, width - 6);
  return "┌─ " + title + " " + Repeat(kHorizontal, width - 5 - Columns(title)) + "┐";
}

// Windows' 0x00BBGGRR as a 24-bit foreground colour.
std::string ForegroundColor(ui::Color color) {
  return "\x1b[38;2;" + std::to_string(color & 0xFF) + ";" + std::to_string((color >> 8) & 0xFF) +
         ";" + std::to_string((color >> 16) & 0xFF) + "m";
}

std::string BarContent(const BarRow& bar, std::size_t width) {
  const std::string count = std::to_string(bar.position) + "/" + std::to_string(bar.max);
  const std::size_t cells = width > count.size() + 1 ? width - count.size() - 1 : 0;
  // Rounded down: a bar shows full only when the position is the maximum.
  const std::size_t filled =
      bar.max > 0 ? static_cast<std::size_t>(std::int64_t{std::clamp(bar.position, 0, bar.max)} *
                                             static_cast<std::int64_t>(cells) / bar.max)
                  : 0;
  std::string content;
  if (filled > 0) {
    content += ForegroundColor(bar.color) + Repeat(kFilledCell, filled);
    content += kResetColor;
  }
  content += Repeat(kEmptyCell, cells - filled);
  content += ' ';
  content += Fit(count, width - cells - 1);
  return content;
}

std::string InlineText(const InlineItem& item) {
  return std::visit(
      Overloaded{
          [](const TextItem& text) { return std::string(text.text); },
          [](const CheckItem& check) {
            return std::string(check.checked ? "[x] " : "[ ] ") + std::string(check.caption);
          },
          [](const ButtonItem& button) { return "[ " + std::string(button.caption) + " ]"; },
      },
      item);
}

std::string InlineContent(const InlineRow& row, std::size_t width) {
  std::string content;
  for (const InlineItem& item : row.items) {
    if (!content.empty()) content += kItemGap;
    content += InlineText(item);
  }
  return Fit(content, width);
}

void AppendLog(const LogRows& log, std::size_t width, std::vector<std::string>& lines) {
  const std::size_t shown = std::min<std::size_t>(log.lines.size(), kLogRows);
  for (const std::string& line : log.lines.last(shown)) lines.push_back(Framed(Fit(line, width)));
  for (std::size_t blank = shown; blank < kLogRows; ++blank) {
    lines.push_back(Framed(Fit("", width)));
  }
}

std::string HelpLine(const std::vector<KeyHelp>& keys, std::size_t width) {
  std::string help;
  for (const KeyHelp& key : keys) {
    if (!help.empty()) help += kHelpGap;
    help += std::string(key.keys) + " " + std::string(key.action);
  }
  return Fit(help, width);
}

}  // namespace

std::vector<std::string> RenderScreen(const ScreenModel& model, int width) {
  const auto columns = static_cast<std::size_t>(std::max(width, kMinimumWidth));
  const std::size_t inner = columns - kBorderColumns;
  std::vector<std::string> lines;
  lines.push_back(TopEdge(model.caption, columns));
  for (const ScreenRow& row : model.rows) {
    std::visit(
        Overloaded{
            [&](const InlineRow& line) { lines.push_back(Framed(InlineContent(line, inner))); },
            [&](const BarRow& bar) { lines.push_back(Framed(BarContent(bar, inner))); },
            [&](const LogRows& log) { AppendLog(log, inner, lines); },
        },
        row);
  }
  lines.push_back(Edge("├", "┤", columns));
  lines.push_back(Framed(Fit(model.status, inner)));
  lines.push_back(Edge("└", "┘", columns));
  lines.push_back(HelpLine(model.keys, columns));
  return lines;
}

std::string FrameBytes(std::span<const std::string> lines) {
  std::string bytes = "\x1b[H";
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\x1b[K\r\n";
  }
  bytes += "\x1b[J";
  return bytes;
}

}  // namespace platform::posix
