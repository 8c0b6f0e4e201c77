// The portable part of the extraction output: the target folder's drive
// asked once, and a path's folders one by one.
#include "platform/zip_output.h"

#include "platform/removable_drive.h"

namespace platform::zip {

OutputFolder MakeOutputFolder(const std::string& base_dir) {
  return OutputFolder{base_dir, IsOnRemovableDrive(base_dir)};
}

void CreateEntryFolders(const std::string& base_dir, std::string_view relative) {
  for (std::size_t slash = relative.find('/'); slash != std::string_view::npos;
       slash = relative.find('/', slash + 1)) {
    MakeEntryFolder(base_dir, relative.substr(0, slash));
  }
  MakeEntryFolder(base_dir, relative);
}

void CreateParentFolders(const std::string& base_dir, std::string_view relative) {
  const std::size_t slash = relative.rfind('/');
  if (slash != std::string_view::npos) CreateEntryFolders(base_dir, relative.substr(0, slash));
}

}  // namespace platform::zip
