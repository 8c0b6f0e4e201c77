#include "platform/headless/headless_ui.h"

#include <algorithm>

namespace platform::headless {
namespace {

// The controls have protected constructors: only toolkits make them.
class HeadlessLabel final : public ui::Label {
 public:
  HeadlessLabel(const ui::Bounds& bounds, std::string_view caption) : Label(bounds, caption) {}
};

class HeadlessProgressBar final : public ui::ProgressBar {
 public:
  HeadlessProgressBar(const ui::Bounds& bounds, int max, ui::Color from, ui::Color to)
      : ProgressBar(bounds, max, from, to) {}
};

class HeadlessCheckBox final : public ui::CheckBox {
 public:
  HeadlessCheckBox(const ui::Bounds& bounds, std::string_view caption)
      : CheckBox(bounds, caption) {}
};

class HeadlessButton final : public ui::Button {
 public:
  HeadlessButton(const ui::Bounds& bounds, std::string_view caption) : Button(bounds, caption) {}
};

class HeadlessTimer final : public ui::Timer {
 public:
  explicit HeadlessTimer(int interval_ms) : Timer(interval_ms) {}
};

PaintedControl Snapshot(const ui::Control& control) {
  PaintedControl painted;
  painted.visible = control.Visible();
  painted.top = control.Top();
  if (const auto* label = dynamic_cast<const ui::Label*>(&control)) {
    painted.text = label->Caption();
  } else if (const auto* bar = dynamic_cast<const ui::ProgressBar*>(&control)) {
    painted.position = bar->Position();
    painted.max = bar->Max();
    painted.color_from = bar->BarColorFrom();
    painted.color_to = bar->BarColorTo();
  } else if (const auto* check = dynamic_cast<const ui::CheckBox*>(&control)) {
    painted.text = check->Caption();
    painted.checked = check->Checked();
  } else if (const auto* memo = dynamic_cast<const ui::Memo*>(&control)) {
    if (!memo->Lines().empty()) painted.text = memo->Lines().back();
  } else if (const auto* button = dynamic_cast<const ui::Button*>(&control)) {
    painted.text = button->Caption();
  }
  return painted;
}

}  // namespace

std::unique_ptr<ui::Form> HeadlessApplication::CreateForm(const ui::FormDesign& design) {
  return std::make_unique<HeadlessForm>(*this, design);
}

bool HeadlessApplication::DispatchOne() {
  if (quit_posted_) {
    quit_posted_ = false;
    terminated_ = true;
    return true;
  }
  if (posted_.empty()) return false;
  ui::Handler work = std::move(posted_.front());
  posted_.pop_front();
  RunHandler(work);
  return true;
}

void HeadlessApplication::Run(ui::Form& main_form) {
  auto& form = static_cast<HeadlessForm&>(main_form);
  form.shown_ = true;
  while (!terminated_) {
    if (DispatchOne()) continue;
    if (!form.TickTimers()) break;
  }
}

void HeadlessApplication::ProcessMessages() {
  ++process_messages_calls_;
  while (!terminated_ && DispatchOne()) {
  }
  // Messages flowing paint what is pending.
  for (HeadlessForm* form : forms_) form->RepaintNow();
}

HeadlessForm::HeadlessForm(HeadlessApplication& application, const ui::FormDesign& design)
    : application_(application),
      design_(design),
      width_(design.client_width + kFrameWidth),
      height_(design.client_height + kFrameHeight) {
  application_.forms_.push_back(this);
}

HeadlessForm::~HeadlessForm() { std::erase(application_.forms_, this); }

ui::Label& HeadlessForm::AddLabel(const ui::Bounds& bounds, std::string_view caption) {
  return static_cast<ui::Label&>(
      *controls_.emplace_back(std::make_unique<HeadlessLabel>(bounds, caption)));
}

ui::ProgressBar& HeadlessForm::AddProgressBar(const ui::Bounds& bounds, int max, ui::Color from,
                                              ui::Color to) {
  return static_cast<ui::ProgressBar&>(
      *controls_.emplace_back(std::make_unique<HeadlessProgressBar>(bounds, max, from, to)));
}

ui::Memo& HeadlessForm::AddMemo(const ui::Bounds& bounds) {
  auto memo = std::make_unique<HeadlessMemo>(bounds);
  memo_ = memo.get();
  controls_.push_back(std::move(memo));
  return *memo_;
}

ui::CheckBox& HeadlessForm::AddCheckBox(const ui::Bounds& bounds, std::string_view caption) {
  return static_cast<ui::CheckBox&>(
      *controls_.emplace_back(std::make_unique<HeadlessCheckBox>(bounds, caption)));
}

ui::Button& HeadlessForm::AddButton(const ui::Bounds& bounds, std::string_view caption) {
  return static_cast<ui::Button&>(
      *controls_.emplace_back(std::make_unique<HeadlessButton>(bounds, caption)));
}

ui::Timer& HeadlessForm::AddTimer(int interval_ms) {
  return *timers_.emplace_back(std::make_unique<HeadlessTimer>(interval_ms));
}

void HeadlessForm::Close() {
  if (closed_ || !CloseAllowed()) return;
  closed_ = true;
  // Closing the main form ends the application.
  application_.Terminate();
}

void HeadlessForm::RepaintNow() {
  Paint paint;
  paint.form_height = height_;
  for (const auto& control : controls_) paint.controls.emplace(control.get(), Snapshot(*control));
  paints_.push_back(std::move(paint));
}

bool HeadlessForm::TickTimers() {
  bool ticked = false;
  for (const auto& timer : timers_) {
    if (!timer->Enabled()) continue;
    ticked = true;
    application_.RunHandler([&timer] { timer->Tick(); });
  }
  return ticked;
}

}  // namespace platform::headless
