// The five files of the installation that the run keeps current, each with
// the key under which a mirror gives its digest and what is done with a
// verified download of it.
#pragma once

#include <string_view>

namespace update_main {

enum class Replacement {
  kPlainMove,           // moved into place
  kRunningApplication,  // the application is closed first and started again
  kHandOver,            // the updater's own file: left to the replacement program
};

struct Component {
  std::string_view query_key;
  std::string_view file_name;
  Replacement replacement;
  // Left in RunMessage when the file cannot be put in place.
  std::string_view failure_text;
};

inline constexpr Component kMirrorListComponent = {
    "?serverlist", "mirrors.xml", Replacement::kPlainMove,
    "Impossible de remplacer l'ancienne liste de mirroirs. Vous pouvez le faire manuellement en "
    "renommant le fichier tempdata en mirrors.xml"};
inline constexpr Component kUpdaterComponent = {"?updater", "update.exe", Replacement::kHandOver,
                                                ""};
inline constexpr Component kApplicationComponent = {
    "?kelvane", "Kelvane.exe", Replacement::kRunningApplication,
    "Impossible de remplacer Kelvane. Vous pouvez le faire manuellement en renommant le fichier "
    "tempdata en Kelvane.exe après avoir coupé Kelvane"};
inline constexpr Component kCategoryListComponent = {
    "?categories", "cat_db.xml", Replacement::kPlainMove,
    "Impossible de remplacer la liste des catégories. Vous pouvez le faire manuellement en "
    "renommant le fichier tempdata en cat_db.xml"};
inline constexpr Component kIconArchiveComponent = {
    "?pictures", "icones.zip", Replacement::kPlainMove,
    "Impossible de remplacer l'archive des icônes. Vous pouvez le faire manuellement en renommant "
    "le fichier tempdata en icones.zip"};

// The sub-steps of one file's update; the last position marks its end.
inline constexpr int kComponentSubSteps = 6;

// Where every download goes first, in the current folder.
inline constexpr std::string_view kDownloadFile = "tempdata";

}  // namespace update_main
