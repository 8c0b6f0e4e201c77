// The terminal toolkit: the window's look as text, the keys that operate it,
// the close request, the message loop with and without a terminal, and the
// terminal's mode put back however the loop ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/terminal_application.h"
#include "platform/posix/terminal_form.h"
#include "platform/posix/terminal_keys.h"
#include "platform/posix/terminal_screen.h"
#include "platform/posix/unique_fd.h"

namespace platform::posix {
namespace {

using namespace std::chrono_literals;

constexpr ui::Color kGreen = ui::Rgb(41, 211, 49);
constexpr ui::Color kRed = ui::Rgb(201, 54, 49);
constexpr std::string_view kGreenEscape = "\x1b[38;2;41;211;49m";
constexpr std::string_view kRedEscape = "\x1b[38;2;201;54;49m";
constexpr std::string_view kHideCursor = "\x1b[?25l";
constexpr std::string_view kShowCursor = "\x1b[?25h";
constexpr std::string_view kTitle = "Kelvane Updater";

// ---- Reading what was rendered -------------------------------------------

// `line` without its escape sequences, as the terminal shows it.
std::string Shown(std::string_view line) {
  std::string shown;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\x1b') {
      shown += line[i];
      continue;
    }
    i += 2;
    while (i < line.size() && (line[i] < '@' || line[i] > '~')) ++i;
  }
  return shown;
}

std::size_t CodePoints(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char byte) { return (byte & 0xC0) != 0x80; }));
}

std::size_t Count(std::string_view text, std::string_view piece) {
  std::size_t count = 0;
  for (auto at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

bool Contains(std::string_view text, std::string_view piece) {
  return text.find(piece) != std::string_view::npos;
}

std::vector<std::string> ShownLines(const ScreenModel& model, int width) {
  std::vector<std::string> lines = RenderScreen(model, width);
  std::transform(lines.begin(), lines.end(), lines.begin(), Shown);
  return lines;
}

// The line that shows `text`, or "" when none does.
std::string LineWith(const std::vector<std::string>& lines, std::string_view text) {
  const auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& candidate) {
    return Contains(candidate, text);
  });
  return line == lines.end() ? std::string() : *line;
}

// ---- Descriptors ----------------------------------------------------------

struct Pipe {
  UniqueFd read;
  UniqueFd write;
};

Pipe MakePipe() {
  int fds[2];
  EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

// What is readable on `fd` until it stays silent for a moment or ends.
std::string Drain(int fd) {
  std::string bytes;
  pollfd wait{fd, POLLIN, 0};
  while (::poll(&wait, 1, 200) == 1) {
    char buffer[4096];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  return bytes;
}

struct Pty {
  UniqueFd master;
  UniqueFd slave;
};

Pty OpenPty() {
  Pty pty;
  pty.master.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  EXPECT_TRUE(pty.master) << "no pseudo-terminal";
  EXPECT_EQ(::grantpt(pty.master.get()), 0);
  EXPECT_EQ(::unlockpt(pty.master.get()), 0);
  pty.slave.reset(::open(::ptsname(pty.master.get()), O_RDWR | O_NOCTTY | O_CLOEXEC));
  EXPECT_TRUE(pty.slave);
  return pty;
}

tcflag_t LocalModes(int fd) {
  termios modes{};
  EXPECT_EQ(::tcgetattr(fd, &modes), 0);
  return modes.c_lflag;
}

// ---- The updater's window -------------------------------------------------

// The updater's controls in the updater's layout, in its order of creation.
struct UpdaterWindow {
  explicit UpdaterWindow(ui::Application& application)
      : form(application.CreateForm({"TUpdateForm", "Mise à jour de Kelvane", 361, 217})),
        main_label(form->AddLabel({8, 8, 68, 13}, "Lecture de la liste des mirroirs")),
        main_bar(form->AddProgressBar({8, 27, 345, 17}, 9, kGreen, 0)),
        secondary_label(form->AddLabel({8, 50, 68, 13}, "En attente ...")),
        secondary_bar(form->AddProgressBar({8, 69, 345, 17}, 100, kGreen, 0)),
        memo(form->AddMemo({16, 92, 329, 94})),
        details(form->AddCheckBox({8, 196, 57, 17}, "Détails")),
        auto_close(form->AddCheckBox({71, 196, 130, 17}, "Fermer quand terminé")),
        close(form->AddButton({272, 192, 81, 21}, "Fermer")) {}

  TerminalForm& terminal() { return static_cast<TerminalForm&>(*form); }
  std::vector<std::string> Lines(int width = 72) { return ShownLines(terminal().Model(), width); }

  std::unique_ptr<ui::Form> form;
  ui::Label& main_label;
  ui::ProgressBar& main_bar;
  ui::Label& secondary_label;
  ui::ProgressBar& secondary_bar;
  ui::Memo& memo;
  ui::CheckBox& details;
  ui::CheckBox& auto_close;
  ui::Button& close;
};

// An application on no terminal: nothing painted, errors kept in a pipe.
struct NoTerminal {
  NoTerminal() : null(::open("/dev/null", O_RDWR | O_CLOEXEC)), errors(MakePipe()) {
    application.SetTitle(kTitle);
  }
  std::string Errors() {
    errors.write.reset();
    return Drain(errors.read.get());
  }

  UniqueFd null;
  Pipe errors;
  TerminalApplication application{TerminalIo{null.get(), null.get(), errors.write.get()}};
};

// ---- Rendering --------------------------------------------------------------

TEST(RenderScreen, EveryLineIsAsWideAsAskedInCodePoints) {
  const std::vector<std::string> log = {"Décompression des icônes", std::string(200, 'x')};
  const std::string long_label(100, 'x');
  const ScreenModel model{
      "Mise à jour de Kelvane",
      {InlineRow{{TextItem{"Mise à jour terminée avec succès !"}}}, BarRow{3, 9, kGreen},
       InlineRow{{TextItem{long_label}}}, LogRows{log},
       InlineRow{{CheckItem{"Détails", true}, CheckItem{"Fermer quand terminé", false},
                  ButtonItem{"Fermer"}}}},
      {{"d", "Détails"}, {"a", "Fermer quand terminé"}},
      "Kelvane Updater: échec"};
  // A narrower width than the minimum is taken as the minimum.
  for (const auto& [width, columns] :
       {std::pair{72, 72}, {40, 40}, {kMinimumWidth, kMinimumWidth}, {10, kMinimumWidth}}) {
    for (const std::string& line : ShownLines(model, width)) {
      EXPECT_EQ(CodePoints(line), static_cast<std::size_t>(columns)) << width << ": " << line;
    }
  }
}

TEST(RenderScreen, CutsTooLongTextsAtACodePointBehindAnEllipsis) {
  std::string long_text;
  for (int i = 0; i < 100; ++i) long_text += "é";
  const ScreenModel model{"", {InlineRow{{TextItem{long_text}}}}, {}, ""};
  const std::string line = LineWith(ShownLines(model, 30), "é");
  // "│ " + 25 × é + "…" + " │": whole code points only.
  EXPECT_EQ(line, "│ " + long_text.substr(0, 25 * 2) + "… │");
}

TEST(RenderScreen, ShowsTheCaptionTheControlsAndTheKeys) {
  const ScreenModel model{
      "Mise à jour de Kelvane",
      {InlineRow{{TextItem{"Verification du mirroir"}}},
       InlineRow{{CheckItem{"Détails", true}, CheckItem{"Fermer quand terminé", false},
                  ButtonItem{"Fermer"}}}},
      {{"d", "Détails"}, {"q/Échap", "quitter"}},
      "Kelvane Updater: Le fichier est introuvable"};
  const std::vector<std::string> lines = ShownLines(model, 72);
  EXPECT_TRUE(Contains(lines.front(), "┌─ Mise à jour de Kelvane ─")) << lines.front();
  EXPECT_TRUE(Contains(lines[1], "│ Verification du mirroir ")) << lines[1];
  EXPECT_TRUE(Contains(lines[2], "│ [x] Détails  [ ] Fermer quand terminé  [ Fermer ] "))
      << lines[2];
  EXPECT_NE(LineWith(lines, "│ Kelvane Updater: Le fichier est introuvable "), "");
  EXPECT_TRUE(Contains(lines.back(), "d Détails · q/Échap quitter")) << lines.back();
}

TEST(RenderScreen, BarsShowTheirFillInTheirColourAndPositionOutOfMax) {
  struct Case {
    int position, max;
    ui::Color color;
    std::string_view escape;
  };
  for (const Case& bar :
       {Case{0, 10, kGreen, ""}, Case{5, 10, kGreen, kGreenEscape},
        Case{99, 100, kGreen, kGreenEscape}, Case{9, 9, kRed, kRedEscape}, Case{0, 0, kRed, ""}}) {
    const std::string count = std::to_string(bar.position) + "/" + std::to_string(bar.max);
    SCOPED_TRACE(count);
    const ScreenModel model{"", {BarRow{bar.position, bar.max, bar.color}}, {}, ""};
    const std::string line = RenderScreen(model, 50)[1];
    const std::string shown = Shown(line);
    EXPECT_TRUE(Contains(shown, " " + count + " │")) << shown;
    EXPECT_EQ(Contains(line, "\x1b[38;2;"), !bar.escape.empty()) << line;
    if (!bar.escape.empty()) {
      EXPECT_TRUE(Contains(line, bar.escape)) << line;
    }

    const std::size_t filled = Count(shown, "█");
    const std::size_t cells = filled + Count(shown, "░");
    if (bar.position == bar.max && bar.max > 0) {
      EXPECT_EQ(filled, cells);
    } else if (bar.position == 0) {
      EXPECT_EQ(filled, 0u);
    } else {
      // Proportional, and never full before the end.
      EXPECT_LT(filled, cells);
      EXPECT_NEAR(static_cast<double>(filled) / static_cast<double>(cells),
                  static_cast<double>(bar.position) / bar.max, 1.0 / static_cast<double>(cells));
    }
  }
}

TEST(RenderScreen, TheLogShowsItsLastLinesInAFixedHeight) {
  std::vector<std::string> many;
  for (int i = 1; i <= 20; ++i) many.push_back("ligne " + std::to_string(i));
  const std::vector<std::string> few = {"ligne 1", "ligne 2"};
  const auto lines_with = [](const std::vector<std::string>& log) {
    return ShownLines({"", {LogRows{log}}, {}, ""}, 40);
  };
  const std::vector<std::string> without_log = ShownLines({"", {}, {}, ""}, 40);

  const std::vector<std::string> long_log = lines_with(many);
  EXPECT_EQ(long_log.size(), without_log.size() + kLogRows);
  EXPECT_EQ(lines_with(few).size(), long_log.size());
  EXPECT_EQ(LineWith(long_log, "ligne 13 "), "");
  for (int i = 20 - kLogRows + 1; i <= 20; ++i) {
    EXPECT_NE(LineWith(long_log, "ligne " + std::to_string(i) + " "), "") << i;
  }
}

TEST(RenderScreen, ControlCharactersInTextsCannotDriveTheTerminal) {
  const std::vector<std::string> log = {"\x1b[2J\x1b[31mrouge\tet\rfin"};
  const std::string line = RenderScreen({"", {LogRows{log}}, {}, ""}, 40)[1];
  const std::string content = " [2J [31mrouge et fin";
  EXPECT_EQ(line, "│ " + content + std::string(36 - content.size(), ' ') + " │");
}

// ---- The form's model -------------------------------------------------------

TEST(TerminalForm, ShowsTheWindowsRowsAndTheLogOnlyWhileTheMemoIsVisible) {
  NoTerminal terminal;
  UpdaterWindow window(terminal.application);
  window.memo.AppendLine("Verification du mirroir trouvé");

  std::vector<std::string> lines = window.Lines();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_TRUE(Contains(lines[1], "Lecture de la liste des mirroirs")) << lines[1];
  EXPECT_TRUE(Contains(lines[2], " 0/9 ")) << lines[2];
  EXPECT_TRUE(Contains(lines[3], "En attente ...")) << lines[3];
  EXPECT_TRUE(Contains(lines[4], " 0/100 ")) << lines[4];
  EXPECT_TRUE(Contains(lines[5], "│ Verification du mirroir trouvé ")) << lines[5];
  // The button stands a little higher than the check boxes, on their line.
  EXPECT_TRUE(Contains(lines[5 + kLogRows], "[ ] Détails  [ ] Fermer quand terminé  [ Fermer ]"))
      << lines[5 + kLogRows];

  // The updater's layout without details.
  window.memo.SetVisible(false);
  window.details.SetTop(100);
  window.auto_close.SetTop(100);
  window.close.SetTop(96);
  const std::vector<std::string> short_lines = window.Lines();
  EXPECT_EQ(short_lines.size(), lines.size() - kLogRows);
  EXPECT_EQ(LineWith(short_lines, "Verification du mirroir trouvé"), "");
  EXPECT_TRUE(Contains(short_lines[5], "[ ] Détails  [ ] Fermer quand terminé  [ Fermer ]"))
      << short_lines[5];
  EXPECT_TRUE(Contains(short_lines.back(),
                       "d Détails · a Fermer quand terminé · f/Entrée Fermer · q/Échap quitter"))
      << short_lines.back();
}

// ---- Keys ---------------------------------------------------------------------

TEST(DecodeKeys, MapsKeysToCommandsAndSkipsSequences) {
  using enum KeyCommand;
  const std::pair<std::string_view, std::vector<KeyCommand>> cases[] = {
      {"d", {kClickFirstCheckBox}},
      {"a", {kClickSecondCheckBox}},
      {"f", {kClickButton}},
      {"\r", {kClickButton}},
      {"\n", {kClickButton}},
      {"q", {kClose}},
      {"\x1b", {kClose}},
      {"\x1b\x1b", {kClose, kClose}},
      {"dqa", {kClickFirstCheckBox, kClose, kClickSecondCheckBox}},
      {"DAFQx ", {}},
      {"\x1b[A", {}},                         // an arrow key
      {"\x1bOP", {}},                         // F1
      {"\x1b[1;5Dd", {kClickFirstCheckBox}},  // Ctrl+Left, then d
      {"\x1b[", {}},                          // a sequence cut short
      {"\x1b\x64", {}},                       // Alt+d
  };
  for (const auto& [bytes, commands] : cases) {
    EXPECT_EQ(DecodeKeys(bytes), commands) << testing::PrintToString(std::string(bytes));
  }
}

TEST(TerminalForm, KeysClickTheControlsInTheirOrderOfCreation) {
  NoTerminal terminal;
  UpdaterWindow window(terminal.application);
  int details_clicks = 0;
  int auto_close_clicks = 0;
  int close_clicks = 0;
  window.details.on_click = [&] { ++details_clicks; };
  window.auto_close.on_click = [&] { ++auto_close_clicks; };
  window.close.on_click = [&] { ++close_clicks; };

  window.terminal().HandleKeys("d");
  EXPECT_TRUE(window.details.Checked());
  EXPECT_FALSE(window.auto_close.Checked());
  window.terminal().HandleKeys("a\x1b[Aa");
  EXPECT_FALSE(window.auto_close.Checked());
  EXPECT_EQ(auto_close_clicks, 2);
  window.terminal().HandleKeys("f\n");
  EXPECT_EQ(close_clicks, 2);
  EXPECT_EQ(details_clicks, 1);

  // A hidden control takes no clicks and leaves the help line.
  window.auto_close.SetVisible(false);
  window.terminal().HandleKeys("a");
  EXPECT_EQ(auto_close_clicks, 2);
  EXPECT_FALSE(Contains(window.Lines().back(), "a Fermer")) << window.Lines().back();
}

TEST(TerminalForm, AnErrorInAKeysHandlerGoesToTheErrorOutputAndTheStatusLine) {
  NoTerminal terminal;
  UpdaterWindow window(terminal.application);
  window.close.on_click = [] { throw std::runtime_error("Le fichier est introuvable"); };
  window.terminal().HandleKeys("f");
  EXPECT_NE(LineWith(window.Lines(), "│ Kelvane Updater: Le fichier est introuvable "), "");
  EXPECT_EQ(terminal.Errors(), "Kelvane Updater: Le fichier est introuvable\n");
}

TEST(TerminalForm, ACloseRequestEndsTheApplicationOnlyWhenTheCloseQueryAllowsIt) {
  NoTerminal terminal;
  UpdaterWindow window(terminal.application);
  bool allowed = false;
  int queries = 0;
  window.form->on_close_query = [&] {
    ++queries;
    return allowed;
  };
  window.terminal().HandleKeys("q\x1b");
  terminal.application.ProcessMessages();
  EXPECT_EQ(queries, 2);
  EXPECT_FALSE(terminal.application.Terminated());

  allowed = true;
  // Nothing is dispatched after the request to end: the "d" stays unclicked.
  window.terminal().HandleKeys("qd");
  EXPECT_EQ(queries, 3);
  EXPECT_FALSE(window.details.Checked());
  EXPECT_FALSE(terminal.application.Terminated());
  terminal.application.ProcessMessages();
  EXPECT_TRUE(terminal.application.Terminated());
}

// ---- The message loop ---------------------------------------------------------

TEST(ProcessMessages, TicksDueTimersUntilTheRequestToEndIsPosted) {
  NoTerminal terminal;
  UpdaterWindow window(terminal.application);
  int first_ticks = 0;
  int second_ticks = 0;
  int slow_ticks = 0;
  window.form->AddTimer(10).on_timer = [&] {
    if (++first_ticks == 2) terminal.application.Terminate();
  };
  window.form->AddTimer(10).on_timer = [&] { ++second_ticks; };
  window.form->AddTimer(60'000).on_timer = [&] { ++slow_ticks; };

  std::this_thread::sleep_for(20ms);
  terminal.application.ProcessMessages();
  EXPECT_EQ(first_ticks, 1);
  EXPECT_EQ(second_ticks, 1);
  EXPECT_EQ(slow_ticks, 0);
  EXPECT_FALSE(terminal.application.Terminated());

  // Both are due again; the first one posts the request to end.
  std::this_thread::sleep_for(20ms);
  terminal.application.ProcessMessages();
  EXPECT_TRUE(terminal.application.Terminated());
  EXPECT_EQ(second_ticks, 1);

  std::this_thread::sleep_for(20ms);
  terminal.application.ProcessMessages();
  EXPECT_EQ(first_ticks, 2);
}

TEST(TerminalRun, WithoutATerminalTheOutputIsExactlyTheLogLines) {
  // Keys are not read from an input that is no terminal: the "q" would ask
  // the close query.
  Pipe input = MakePipe();
  ASSERT_EQ(::write(input.write.get(), "q", 1), 1);
  Pipe output = MakePipe();
  Pipe errors = MakePipe();
  TerminalApplication application(
      TerminalIo{input.read.get(), output.write.get(), errors.write.get()});
  application.SetTitle(kTitle);
  UpdaterWindow window(application);
  bool asked_to_close = false;
  window.form->on_close_query = [&] { return asked_to_close = true; };

  const std::vector<std::string> log = {"Lecture de la liste des mirroirs",
                                        "Décompression des icônes",
                                        "Mise à jour terminée avec succès !"};
  std::size_t ticks = 0;
  window.form->AddTimer(5).on_timer = [&] {
    window.main_bar.SetPosition(static_cast<int>(ticks));
    window.main_label.SetCaption(log[ticks]);
    window.memo.AppendLine(log[ticks]);
    window.form->RepaintNow();
    if (++ticks == 2) throw std::runtime_error("échec");
    if (ticks == log.size()) application.Terminate();
  };
  application.Run(*window.form);

  EXPECT_TRUE(application.Terminated());
  EXPECT_EQ(ticks, log.size());
  EXPECT_FALSE(asked_to_close);
  output.write.reset();
  errors.write.reset();
  EXPECT_EQ(Drain(output.read.get()),
            "Lecture de la liste des mirroirs\nDécompression des icônes\n"
            "Mise à jour terminée avec succès !\n");
  EXPECT_EQ(Drain(errors.read.get()), "Kelvane Updater: échec\n");
}

TEST(TerminalRun, OnATerminalPaintsChangesReadsKeysAndRestoresTheTerminal) {
  Pty pty = OpenPty();
  Pipe errors = MakePipe();
  const tcflag_t modes_before = LocalModes(pty.slave.get());
  ASSERT_NE(modes_before & ICANON, 0u);
  struct sigaction interrupt_before {};
  ::sigaction(SIGINT, nullptr, &interrupt_before);

  TerminalApplication application(TerminalIo{pty.slave.get(), pty.slave.get(), errors.write.get()});
  UpdaterWindow window(application);
  window.details.on_click = [&] { application.Terminate(); };

  tcflag_t modes_while_running = 0;
  std::string first_frames;
  int ticks = 0;
  window.form->AddTimer(10).on_timer = [&] {
    if (++ticks > 1) {
      // The key should have come long ago.
      if (ticks > 300) application.Terminate();
      return;
    }
    modes_while_running = LocalModes(pty.slave.get());
    // Without a change, no paint.
    window.form->RepaintNow();
    window.form->RepaintNow();
    // A log line is painted in the window, and only there.
    window.memo.AppendLine("Verification du mirroir trouvé");
    window.form->RepaintNow();
    window.main_bar.SetPosition(3);
    window.form->RepaintNow();
    first_frames = Drain(pty.master.get());
    ASSERT_EQ(::write(pty.master.get(), "d", 1), 1);
  };
  application.Run(*window.form);
  const std::string last_frames = Drain(pty.master.get());

  EXPECT_TRUE(window.details.Checked());
  EXPECT_EQ(modes_while_running & (ICANON | ECHO), 0u);
  EXPECT_EQ(LocalModes(pty.slave.get()), modes_before);
  struct sigaction interrupt_after {};
  ::sigaction(SIGINT, nullptr, &interrupt_after);
  EXPECT_EQ(interrupt_after.sa_handler, interrupt_before.sa_handler);

  EXPECT_EQ(first_frames.find(kHideCursor), 0u) << testing::PrintToString(first_frames);
  EXPECT_EQ(Count(first_frames, "\x1b[H"), 3u);
  EXPECT_TRUE(Contains(first_frames, "[ ] Détails"));
  EXPECT_EQ(Count(first_frames, "│ Verification du mirroir trouvé "), 2u);
  EXPECT_EQ(Count(first_frames, "Verification du mirroir trouvé"), 2u);
  EXPECT_TRUE(Contains(last_frames, "[x] Détails"));
  EXPECT_TRUE(last_frames.ends_with(kShowCursor)) << testing::PrintToString(last_frames);
  EXPECT_TRUE(Contains(first_frames, std::string(kGreenEscape) + "█")) << first_frames;
}

class TerminalRunDeathTest : public testing::TestWithParam<int> {};

TEST_P(TerminalRunDeathTest, AFatalSignalRestoresTheTerminalThenEndsTheProgram) {
  const int signal_number = GetParam();
  Pty pty = OpenPty();
  const tcflag_t modes_before = LocalModes(pty.slave.get());
  const auto run_until_signal = [&] {
    TerminalApplication application(TerminalIo{pty.slave.get(), pty.slave.get(), pty.slave.get()});
    UpdaterWindow window(application);
    window.form->AddTimer(10).on_timer = [&] { ::raise(signal_number); };
    application.Run(*window.form);
  };
  EXPECT_EXIT(run_until_signal(), testing::KilledBySignal(signal_number), "");

  EXPECT_EQ(LocalModes(pty.slave.get()), modes_before);
  const std::string output = Drain(pty.master.get());
  EXPECT_TRUE(Contains(output, kHideCursor)) << testing::PrintToString(output);
  EXPECT_TRUE(output.ends_with(kShowCursor)) << testing::PrintToString(output);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminalRunDeathTest, testing::Values(SIGINT, SIGTERM),
                         [](const testing::TestParamInfo<int>& signal_info) {
                           return std::string(signal_info.param == SIGINT ? "SIGINT" : "SIGTERM");
                         });

}  // namespace
}  // namespace platform::posix
