// FindAvailableMirror: drop the mirror that has just failed, then choose the
// first mirror, in file order, whose host answers an echo request.
#include "update_main/mirror_host.h"
#include "update_main/update_form.h"

namespace update_main {
namespace {

constexpr std::string_view kRemovingLabel = "Suppression du mirroir précédent";
constexpr std::string_view kRemovingLine = "- Suppression du mirroir précédent";
constexpr std::string_view kTestingLabel = "Test des mirroirs";
constexpr std::string_view kTestingLine = "- Test des mirroirs";
constexpr std::string_view kFoundLine = "- Mirroir disponible trouvé";
constexpr std::string_view kNoneLine = "- Aucun mirroir disponible";

}  // namespace

bool TUpdateForm::FindAvailableMirror(MirrorIndex& previous_mirror) {
  StartSubSteps(static_cast<int>(Mirrors.Count()));
  if (previous_mirror != kNoMirror && previous_mirror < Mirrors.Count()) {
    SecondaryLabel.SetCaption(kRemovingLabel);
    AddLogLine(kRemovingLine);
    Mirrors.Remove(previous_mirror);
    SetSubPosition(1);
  }
  SecondaryLabel.SetCaption(kTestingLabel);
  AddLogLine(kTestingLine);
  for (std::size_t i = 0; i < Mirrors.Count(); ++i) {
    const auto index = static_cast<MirrorIndex>(i);
    if (PingHost(MirrorHost(Mirrors.At(index).base)) != 0) {
      // Painted with the next change: the verification starts at once.
      SecondaryBar.SetPosition(SecondaryBar.Max());
      AddLogLine(kFoundLine);
      previous_mirror = index;
      return true;
    }
    SetSubPosition(SecondaryBar.Position() + 1);
  }
  AddLogLine(kNoneLine);
  MarkSubStepsFailed(SecondaryBar.Max());
  return false;
}

}  // namespace update_main
