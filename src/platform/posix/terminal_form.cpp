// The terminal window's controls, its screen model, key commands and timers.
#include "platform/posix/terminal_form.h"

#include <algorithm>

#include "platform/posix/terminal_application.h"

namespace platform::posix {
namespace {

constexpr std::string_view kCloseAction = "quitter";

using Line = std::vector<const ScreenControl*>;

// The visible controls in lines, top to bottom: one-line controls whose
// heights overlap stand side by side in the window and share a line.
std::vector<Line> LinesOf(const std::vector<std::unique_ptr<ScreenControl>>& controls) {
  Line shown;
  for (const auto& control : controls) {
    if (control->control().Visible()) shown.push_back(control.get());
  }
  std::stable_sort(shown.begin(), shown.end(), [](const ScreenControl* a, const ScreenControl* b) {
    return a->control().Top() < b->control().Top();
  });

  std::vector<Line> lines;
  int line_bottom = 0;
  for (const ScreenControl* control : shown) {
    const ui::Bounds& bounds = control->control().bounds();
    const bool beside = control->Inline() && !lines.empty() && lines.back().front()->Inline() &&
                        bounds.top < line_bottom;
    if (!beside) lines.emplace_back();
    lines.back().push_back(control);
    line_bottom = std::max(beside ? line_bottom : 0, bounds.top + bounds.height);
  }
  return lines;
}

ScreenRow RowOf(Line line) {
  if (!line.front()->Inline()) return line.front()->Row();
  std::stable_sort(line.begin(), line.end(), [](const ScreenControl* a, const ScreenControl* b) {
    return a->control().bounds().left < b->control().bounds().left;
  });
  InlineRow row;
  for (const ScreenControl* control : line) {
    const auto items = std::get<InlineRow>(control->Row()).items;
    row.items.insert(row.items.end(), items.begin(), items.end());
  }
  return row;
}

}  // namespace

TerminalForm::TerminalForm(TerminalApplication& application, const ui::FormDesign& design)
    : application_(application),
      design_(design),
      width_(design.client_width + kFrameWidth),
      height_(design.client_height + kFrameHeight) {
  application_.forms_.push_back(this);
}

TerminalForm::~TerminalForm() {
  std::erase(application_.forms_, this);
  if (application_.shown_form_ == this) application_.shown_form_ = nullptr;
}

template <class Control, class... Arguments>
Control& TerminalForm::Own(Arguments&&... arguments) {
  auto control = std::make_unique<Control>(*this, std::forward<Arguments>(arguments)...);
  Control& owned = *control;
  controls_.push_back(std::move(control));
  dirty_ = true;
  return owned;
}

ui::Label& TerminalForm::AddLabel(const ui::Bounds& bounds, std::string_view caption) {
  return Own<TerminalLabel>(bounds, caption);
}

ui::ProgressBar& TerminalForm::AddProgressBar(const ui::Bounds& bounds, int max, ui::Color from,
                                              ui::Color to) {
  return Own<TerminalProgressBar>(bounds, max, from, to);
}

ui::Memo& TerminalForm::AddMemo(const ui::Bounds& bounds) { return Own<TerminalMemo>(bounds); }

ui::CheckBox& TerminalForm::AddCheckBox(const ui::Bounds& bounds, std::string_view caption) {
  return *check_boxes_.emplace_back(&Own<TerminalCheckBox>(bounds, caption));
}

ui::Button& TerminalForm::AddButton(const ui::Bounds& bounds, std::string_view caption) {
  return *buttons_.emplace_back(&Own<TerminalButton>(bounds, caption));
}

ui::Timer& TerminalForm::AddTimer(int interval_ms) {
  return *timers_.emplace_back(std::make_unique<TerminalTimer>(interval_ms));
}

void TerminalForm::Close() {
  if (closed_ || !CloseAllowed()) return;
  closed_ = true;
  // Closing the main form ends the application.
  application_.Terminate();
}

void TerminalForm::RepaintNow() {
  if (!shown_ || !dirty_) return;
  dirty_ = false;
  application_.Paint(Model());
}

void TerminalForm::LogLineAppended(const std::string& line) {
  if (application_.Draws()) {
    Invalidate();
  } else {
    application_.EchoLogLine(line);
  }
}

void TerminalForm::SetShown(bool shown) {
  shown_ = shown;
  dirty_ = true;
}

template <class Clickable>
std::optional<TerminalForm::KeyTarget> TerminalForm::ClickOf(
    const std::vector<Clickable*>& controls, std::size_t index) {
  if (index >= controls.size() || !controls[index]->Visible()) return std::nullopt;
  Clickable* control = controls[index];
  return KeyTarget{control->Caption(), [control] { control->Click(); }};
}

std::optional<TerminalForm::KeyTarget> TerminalForm::TargetOf(KeyCommand command) {
  switch (command) {
    case KeyCommand::kClickFirstCheckBox:
      return ClickOf(check_boxes_, 0);
    case KeyCommand::kClickSecondCheckBox:
      return ClickOf(check_boxes_, 1);
    case KeyCommand::kClickButton:
      return ClickOf(buttons_, 0);
    case KeyCommand::kClose:
      return KeyTarget{kCloseAction, [this] { Close(); }};
  }
  return std::nullopt;
}

void TerminalForm::HandleKeys(std::string_view bytes) {
  for (const KeyCommand command : DecodeKeys(bytes)) {
    if (application_.Ending()) return;
    if (const auto target = TargetOf(command)) application_.RunHandler(target->action);
  }
}

void TerminalForm::TickDueTimers(Clock::time_point now) {
  // By index: a handler may add timers.
  for (std::size_t i = 0; i < timers_.size() && !application_.Ending(); ++i) {
    TerminalTimer* timer = timers_[i].get();
    const auto due = timer->Due();
    if (!due || *due > now) continue;
    // Before the handler: one that dispatches messages must not tick it again at once.
    timer->Restart();
    application_.RunHandler([timer] { timer->Tick(); });
  }
}

std::optional<Clock::time_point> TerminalForm::NextTimerDue() const {
  std::optional<Clock::time_point> next;
  for (const auto& timer : timers_) next = Earlier(next, timer->Due());
  return next;
}

ScreenModel TerminalForm::Model() {
  ScreenModel model{design_.caption, {}, {}, application_.LastError()};
  for (const Line& line : LinesOf(controls_)) model.rows.push_back(RowOf(line));
  for (const KeyCommand command : kKeyCommands) {
    if (const auto target = TargetOf(command)) {
      model.keys.push_back({KeyName(command), target->caption});
    }
  }
  return model;
}

}  // namespace platform::posix
