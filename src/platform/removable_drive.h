// Whether a folder lies on a drive that can be pulled out (a USB stick, a
// memory card), where written files are worth flushing to disk at once.
#pragma once

#include <string>

namespace platform {

// `folder` in the system code page. False as well when its drive cannot be
// told: flushing is the exception, for the drives known to be removable.
bool IsOnRemovableDrive(const std::string& folder);

}  // namespace platform
