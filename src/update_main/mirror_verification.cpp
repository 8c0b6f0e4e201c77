// VerifyMirror: a mirror that answers the echo is an update server only if
// it answers "?isvalid" with the mirror key, to the byte.
#include "update_main/update_form.h"

namespace update_main {
namespace {

constexpr std::string_view kValidKey = "?isvalid";
constexpr std::string_view kMirrorKey = "Ready to serve you !";

constexpr std::string_view kAskingLabel = "Demande de la clé";
constexpr std::string_view kAskingLine = "- Demande de la clé";
constexpr std::string_view kCheckingLabel = "Verification de la clé";
constexpr std::string_view kCheckingLine = "- Verification de la clé";
constexpr std::string_view kValidLine = "- Clé valide";
constexpr std::string_view kInvalidLine = "- Clé invalide, suppression du mirroir";

constexpr int kSubSteps = 2;

}  // namespace

bool TUpdateForm::VerifyMirror(MirrorIndex mirror) {
  StartSubSteps(kSubSteps);
  ReportSubStep(0, kAskingLabel, kAskingLine);
  const std::string reply = AskMirror(mirror, kValidKey);
  ReportSubStep(1, kCheckingLabel, kCheckingLine);
  if (reply == kMirrorKey) {
    SetSubPosition(kSubSteps);
    AddLogLine(kValidLine);
    return true;
  }
  // The search that the run makes next drops this mirror.
  MarkSubStepsFailed(kSubSteps);
  AddLogLine(kInvalidLine);
  return false;
}

}  // namespace update_main
