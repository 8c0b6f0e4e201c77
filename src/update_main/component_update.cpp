// ComponentUpdate: ask the mirror for a file's digest, compare it with the
// local file's, and only when they differ download the file into
// "tempdata", check it against the same digest and put it in place.
#include "mymd5/mymd5.h"
#include "platform/download_file.h"
#include "platform/file_moves.h"
#include "update_main/update_form.h"

namespace update_main {
namespace {

constexpr SubStep kAskDigest = {"Demande du hash", "- Demande du hash"};
constexpr SubStep kCheckReply = {"Verification du hash", "- Verification du hash"};
constexpr SubStep kTestLocalFile = {"Test du fichier local", "- Test du fichier local"};
constexpr SubStep kDownload = {"Téléchargement de la mise à jour",
                               "- Téléchargement de la mise à jour"};
constexpr SubStep kCheckDownload = {"Verification du téléchargement",
                                    "- Verification du téléchargement"};
constexpr SubStep kApply = {"Application de la mise à jour", "- Application de la mise à jour"};

constexpr std::string_view kInvalidReplyLine = "- Réponse du serveur invalide";
constexpr std::string_view kCurrentLine = "- Pas de mise à jour nécéssaire";
constexpr std::string_view kCorruptLabel = "Téléchargement corrompu";
constexpr std::string_view kCorruptLine = "- Téléchargement corrompu";
constexpr std::string_view kCorruptAndStuck =
    "Le téléchargement est corrompu. De plus, la suppression du fichier temporaire est "
    "impossible.";

// A digest text is exactly this long.
constexpr std::size_t kDigestTextLength = 32;

std::string DigestTextOf(std::string_view path) {
  return mymd5::DigestText(mymd5::FileDigest(std::string(path)));
}

}  // namespace

bool TUpdateForm::ComponentUpdate(const Component& component, MirrorIndex mirror) {
  StartSubSteps(kComponentSubSteps);
  ReportSubStep(0, kAskDigest);
  const std::string reply = AskMirror(mirror, component.query_key);

  ReportSubStep(1, kCheckReply);
  if (reply.size() != kDigestTextLength) {
    AddLogLine(kInvalidReplyLine);
    MarkSubStepsFailed(kComponentSubSteps);
    return false;
  }

  ReportSubStep(2, kTestLocalFile);
  if (DigestTextOf(component.file_name) == reply) {
    AddLogLine(kCurrentLine);
    SetSubPosition(kComponentSubSteps);
    return true;
  }

  ReportSubStep(3, kDownload);
  {
    // A file that cannot be created is no fault of the mirror's: the error
    // ends the run.
    platform::DownloadFile download{std::string(kDownloadFile)};
    DownloadFromMirror(mirror, component.file_name, download);
  }

  ReportSubStep(4, kCheckDownload);
  if (DigestTextOf(kDownloadFile) != reply) {
    SecondaryLabel.SetCaption(kCorruptLabel);
    if (!platform::DeleteFileAt(std::string(kDownloadFile))) {
      RunMessage = kCorruptAndStuck;
      return false;
    }
    AddLogLine(kCorruptLine);
    MarkSubStepsFailed(kComponentSubSteps);
    return false;
  }

  ReportSubStep(5, kApply);
  switch (component.replacement) {
    case Replacement::kPlainMove:
      if (!platform::ReplaceFileWith(std::string(kDownloadFile),
                                     std::string(component.file_name))) {
        RunMessage = component.failure_text;
        return false;
      }
      SetSubPosition(kComponentSubSteps);
      return true;
    case Replacement::kRunningApplication:
      return ReplaceRunningApplication(component);
    case Replacement::kHandOver:
      return HandOverToReplacementProgram();
  }
  return false;
}

bool TUpdateForm::UpdateMirrorList(MirrorIndex mirror) {
  return ComponentUpdate(kMirrorListComponent, mirror);
}
bool TUpdateForm::UpdateUpdater(MirrorIndex mirror) {
  return ComponentUpdate(kUpdaterComponent, mirror);
}
bool TUpdateForm::UpdateApplication(MirrorIndex mirror) {
  return ComponentUpdate(kApplicationComponent, mirror);
}
bool TUpdateForm::UpdateCategoryList(MirrorIndex mirror) {
  return ComponentUpdate(kCategoryListComponent, mirror);
}
bool TUpdateForm::UpdateIconArchive(MirrorIndex mirror) {
  return ComponentUpdate(kIconArchiveComponent, mirror);
}

}  // namespace update_main
