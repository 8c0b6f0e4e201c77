// How the run shows its progress: the step on the main bar and label, the
// sub-step on the secondary ones, every event as a log line. A bar's change
// is painted at once, since the run does not return to the message loop
// between steps; a label's new text shows at the next paint.
#include "update_main/bar_colors.h"
#include "update_main/texts.h"
#include "update_main/update_form.h"

namespace update_main {

void TUpdateForm::RepaintNow() { window_->RepaintNow(); }

void TUpdateForm::AddLogLine(std::string_view text) { JvMemo.AppendLine(text); }

void TUpdateForm::ReportStep(int position, std::string_view label, std::string_view line) {
  MainBar.SetPosition(position);
  RepaintNow();
  MainLabel.SetCaption(label);
  AddLogLine(line);
}

void TUpdateForm::StartSubSteps(int maximum) {
  SecondaryBar.SetBarColors(kNormalColors.from, kNormalColors.to);
  SecondaryBar.SetMax(maximum);
  SecondaryBar.SetPosition(0);
  RepaintNow();
}

void TUpdateForm::SetSubPosition(int position) {
  SecondaryBar.SetPosition(position);
  RepaintNow();
}

void TUpdateForm::ReportSubStep(int position, std::string_view label, std::string_view line) {
  SetSubPosition(position);
  SecondaryLabel.SetCaption(label);
  AddLogLine(line);
}

void TUpdateForm::MarkSubStepsFailed(int position) {
  SecondaryBar.SetBarColors(kFailureColors.from, kFailureColors.to);
  SecondaryBar.SetPosition(position);
  RepaintNow();
}

void TUpdateForm::ShowRunFailure(std::string_view text, bool fill_sub_steps) {
  MainBar.SetBarColors(kFailureColors.from, kFailureColors.to);
  MainBar.SetPosition(MainBar.Max());
  RepaintNow();
  SecondaryBar.SetBarColors(kFailureColors.from, kFailureColors.to);
  if (fill_sub_steps) SecondaryBar.SetPosition(SecondaryBar.Max());
  RepaintNow();
  MainLabel.SetCaption(texts::kRunFailed);
  AddLogLine(text);
}

}  // namespace update_main
