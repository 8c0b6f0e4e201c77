// Windows side of the file moves: the system's move, which replaces the
// target, copies across volumes and, written through, returns only once the
// result is on disk.
#include "platform/file_moves.h"

#include <windows.h>

namespace platform {

bool ReplaceFileWith(const std::string& source, const std::string& target) {
  return MoveFileExA(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) !=
         0;
}

bool DeleteFileAt(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

}  // namespace platform
