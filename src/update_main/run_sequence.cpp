// PerformUpdate: the nine steps in their order, the way back to the mirror
// search when a mirror lets the run down, and the run's three ends.
#include <array>

#include "update_main/bar_colors.h"
#include "update_main/my_exception.h"
#include "update_main/texts.h"
#include "update_main/update_form.h"

namespace update_main {
namespace {

// Steps 2 to 7, which all work with the chosen mirror.
struct MirrorStep {
  int position;
  std::string_view label;
  std::string_view line;
  std::function<bool(MirrorIndex)> StepOperations::*operation;
  // Only the updater's own update may hand over to its replacement program.
  bool may_hand_over;
};

constexpr std::array<MirrorStep, 6> kMirrorSteps = {{
    {2, texts::kStepVerifyMirror, texts::kStepVerifyMirrorLog, &StepOperations::VerifyMirror,
     false},
    {3, texts::kStepUpdateMirrorList, texts::kStepUpdateMirrorList,
     &StepOperations::UpdateMirrorList, false},
    {4, texts::kStepUpdateUpdater, texts::kStepUpdateUpdater, &StepOperations::UpdateUpdater,
     true},
    {5, texts::kStepUpdateApplication, texts::kStepUpdateApplication,
     &StepOperations::UpdateApplication, false},
    {6, texts::kStepUpdateCategoryList, texts::kStepUpdateCategoryList,
     &StepOperations::UpdateCategoryList, false},
    {7, texts::kStepUpdateIconArchive, texts::kStepUpdateIconArchive,
     &StepOperations::UpdateIconArchive, false},
}};

enum class MirrorOutcome { kAllCurrent, kMirrorFailed };

constexpr int kSuccessPosition = 9;

}  // namespace

void TUpdateForm::PerformUpdate() {
  RunMessage.clear();
  MirrorIndex previous_mirror = kNoMirror;
  try {
    ReportStep(0, texts::kStepLoadMirrorList, texts::kStepLoadMirrorList);
    if (!Steps.LoadMirrorList()) throw EMyException(texts::kInvalidMirrorList);

    // Each pass drops the mirror that failed before choosing one, so there
    // are at most as many passes as the list has mirrors.
    MirrorOutcome outcome = MirrorOutcome::kMirrorFailed;
    while (outcome == MirrorOutcome::kMirrorFailed) {
      SecondaryBar.SetBarColors(kNormalColors.from, kNormalColors.to);
      ReportStep(1, texts::kStepFindMirror, texts::kStepFindMirror);
      if (!Steps.FindAvailableMirror(previous_mirror)) {
        throw EMyException(texts::kNoMirrorAvailable);
      }
      outcome = MirrorOutcome::kAllCurrent;
      for (const MirrorStep& step : kMirrorSteps) {
        ReportStep(step.position, step.label, step.line);
        if ((Steps.*step.operation)(previous_mirror)) continue;
        if (step.may_hand_over && RunMessage == texts::kHandOverMarker) return;
        if (!RunMessage.empty()) throw EMyException(RunMessage);
        outcome = MirrorOutcome::kMirrorFailed;
        break;
      }
    }

    ReportStep(8, texts::kStepUnpackIcons, texts::kStepUnpackIcons);
    if (!Steps.UnpackIconArchive()) throw EMyException(RunMessage);
    ReportStep(kSuccessPosition, texts::kRunSucceeded, texts::kRunSucceeded);
    if (AutoCloseCheck.Checked()) application_.Terminate();
  } catch (const EMyException& failure) {
    ShowRunFailure(failure.what(), false);
  } catch (...) {
    ShowRunFailure(texts::kUnknownError, true);
  }
}

}  // namespace update_main
