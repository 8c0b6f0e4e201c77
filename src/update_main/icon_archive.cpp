// UnpackIconArchive: test "icones.zip" beside the program and unpack it into
// the "icones" folder there. The archive itself is left as it is, and is
// deleted only when it is no sound archive at all.
#include <filesystem>

#include "platform/file_moves.h"
#include "platform/zip_archive.h"
#include "update_main/my_exception.h"
#include "update_main/update_form.h"

namespace update_main {
namespace {

constexpr std::string_view kArchiveName = "icones.zip";
constexpr std::string_view kTargetName = "icones";
constexpr int kSubSteps = 6;

constexpr std::string_view kNoArchive = "L'archive des icônes est introuvable";
constexpr std::string_view kNoTarget = "Le dossier cible n'existe pas";
constexpr std::string_view kCorruptArchive = "L'archive des icônes est corrompue";
constexpr std::string_view kUnknownUnpackError =
    "Erreur inconnue lors de la décompression des images";

constexpr SubStep kCheckArchive = {"Verification de l'existence de l'archive",
                                   "- Verification de l'existence de l'archive"};
constexpr SubStep kCheckTarget = {"Verification du dossier cible",
                                  "- Verification du dossier cible"};
constexpr SubStep kTestArchive = {"Verification de l'intégrité de l'archive",
                                  "- Verification de l'intégrité de l'archive"};
constexpr SubStep kOpenArchive = {"Ouverture de l'archive", "- Ouverture de l'archive"};
constexpr SubStep kExtract = {"Extraction des fichiers", "- Extraction des fichiers"};
constexpr SubStep kCloseArchive = {"Fermeture de l'archive", "- Fermeture de l'archive"};
constexpr SubStep kDone = {"Terminé", "- Décompresssion terminée"};

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error);
}

}  // namespace

bool TUpdateForm::UnpackIconArchive() {
  StartSubSteps(kSubSteps);
  try {
    SecondaryLabel.SetCaption(kCheckArchive.label);
    AddLogLine(kCheckArchive.line);
    const std::string archive = program_folder_ + std::string(kArchiveName);
    if (!IsFile(archive)) throw EMyException(kNoArchive);

    ReportSubStep(1, kCheckTarget);
    const std::string target = program_folder_ + std::string(kTargetName);
    if (!IsFolder(target)) throw EMyException(kNoTarget);

    ReportSubStep(2, kTestArchive);
    if (!platform::zip::TestArchive(archive, EntryPrompt())) {
      platform::DeleteFileAt(archive);
      throw EMyException(kCorruptArchive);
    }

    ReportSubStep(3, kOpenArchive);
    platform::zip::ZipArchive zip;
    zip.Open(archive);
    ReportSubStep(4, kExtract);
    zip.ExtractAllFiles(target, EntryPrompt());
    ReportSubStep(5, kCloseArchive);
    zip.Close();
  } catch (const EMyException& failure) {
    RunMessage = failure.what();
    return false;
  } catch (...) {
    RunMessage = kUnknownUnpackError;
    return false;
  }
  ReportSubStep(6, kDone);
  return true;
}

platform::zip::EntryFailurePrompt& TUpdateForm::EntryPrompt() {
  return entry_prompt_ != nullptr ? *entry_prompt_ : platform::zip::SystemPrompt();
}

}  // namespace update_main
