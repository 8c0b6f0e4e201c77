// The kernel's word on whether a block device's disk is removable, read from
// sysfs; the sysfs root is a parameter so that a fixture tree can stand in
// for /sys.
#pragma once

#include <string>

namespace platform::posix {

// The `removable` attribute of the disk behind the block device
// MAJOR:MINOR under `sys_root` (normally "/sys"); a partition answers with
// its disk's. False when any of it cannot be read, as for the devices of
// network, memory and overlay file systems, which have no sysfs entry.
bool BlockDeviceIsRemovable(const std::string& sys_root, unsigned major, unsigned minor);

}  // namespace platform::posix
