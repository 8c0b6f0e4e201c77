// The state rules shared by every toolkit.
#include "platform/ui.h"

#include <algorithm>
#include <exception>

#include "platform/tcp_socket.h"

namespace platform::ui {

void Control::SetTop(int top) {
  if (bounds_.top == top) return;
  bounds_.top = top;
  BoundsChanged();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  VisibilityChanged();
}

void Label::SetCaption(std::string_view caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  CaptionChanged();
}

void ProgressBar::SetMax(int max) {
  max_ = std::max(max, Min());
  position_ = std::min(position_, max_);
  BarChanged();
}

void ProgressBar::SetPosition(int position) {
  position_ = std::clamp(position, Min(), max_);
  BarChanged();
}

void ProgressBar::SetBarColors(Color from, Color to) {
  color_from_ = from;
  color_to_ = to;
  BarChanged();
}

void Memo::AppendLine(std::string_view line) {
  lines_.emplace_back(line);
  LineAppended();
}

void CheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  CheckedChanged();
}

void CheckBox::Click() {
  SetChecked(!checked_);
  if (on_click) on_click();
}

void Button::Click() {
  if (on_click) on_click();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  EnabledChanged();
}

void Timer::Tick() {
  if (enabled_ && on_timer) on_timer();
}

bool Application::WaitForSocket(std::intptr_t socket, bool for_writing,
                                std::chrono::milliseconds at_most) {
  const bool ready = net::WaitForSocket(socket, for_writing, at_most);
  ProcessMessages();
  return ready;
}

void Application::RunHandler(const Handler& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowError(error.what());
  } catch (...) {
    ShowError("Erreur inconnue");
  }
}

}  // namespace platform::ui
