// Putting a verified download in the place of a file, and deleting one.
#pragma once

#include <string>

namespace platform {

// Moves `source` onto `target`: an existing target is replaced, the move
// may be a copy and a delete across volumes, and it returns only once the
// result is on disk. False when the move failed; `source` is then left, but
// for one case: the system made the move and then could not confirm that it
// is on disk.
bool ReplaceFileWith(const std::string& source, const std::string& target);

// False when the file is still there afterwards, and also when there was no
// such file, as Windows reports it: both builds answer alike.
bool DeleteFileAt(const std::string& path);

}  // namespace platform
