// Every text that the window and the run show, in one place: the user sees
// these and nothing else, so they are fixed, in French, and compared by
// tests byte for byte.
#pragma once

#include <string_view>

namespace update_main::texts {

inline constexpr std::string_view kApplicationTitle = "Kelvane Updater";
inline constexpr std::string_view kWindowCaption = "Mise à jour de Kelvane";
inline constexpr std::string_view kWaiting = "En attente ...";
inline constexpr std::string_view kDetails = "Détails";
inline constexpr std::string_view kAutoClose = "Fermer quand terminé";
inline constexpr std::string_view kClose = "Fermer";

// The run's steps: main label and log line.
inline constexpr std::string_view kStepLoadMirrorList = "Lecture de la liste des mirroirs";
inline constexpr std::string_view kStepFindMirror = "Recherche d'un mirroir disponible";
inline constexpr std::string_view kStepVerifyMirror = "Verification du mirroir";
inline constexpr std::string_view kStepVerifyMirrorLog = "Verification du mirroir trouvé";
inline constexpr std::string_view kStepUpdateMirrorList = "Mise à jour de la liste des mirroirs";
inline constexpr std::string_view kStepUpdateUpdater = "Mise à jour du logiciel de mise à jour";
inline constexpr std::string_view kStepUpdateApplication = "Mise à jour de Kelvane";
inline constexpr std::string_view kStepUpdateCategoryList =
    "Mise à jour de la liste des catégories";
inline constexpr std::string_view kStepUpdateIconArchive = "Mise à jour des icones";
inline constexpr std::string_view kStepUnpackIcons = "Décompression des icônes";
inline constexpr std::string_view kRunSucceeded = "Mise à jour terminée avec succès !";

// The run's ends.
inline constexpr std::string_view kRunFailed = "La mise à jour a échoué";
inline constexpr std::string_view kInvalidMirrorList =
    "La liste des mirroirs de téléchargement est invalide";
inline constexpr std::string_view kNoMirrorAvailable =
    "Aucun des mirroirs de téléchargement ne semble disponible. Réessayez plus tard";
inline constexpr std::string_view kUnknownError =
    "Une erreur inconnue à interrompue la mise à jour";

// Left in RunMessage by the updater's hand-over to its replacement program.
inline constexpr std::string_view kHandOverMarker = "runupdate";

}  // namespace update_main::texts
