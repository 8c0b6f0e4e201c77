// POSIX side of the removable-drive test: the folder's device from stat,
// then the sysfs entry of that device.
#include "platform/removable_drive.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/sysfs_removable.h"

namespace platform {

namespace posix {

bool BlockDeviceIsRemovable(const std::string& sys_root, unsigned major, unsigned minor) {
  namespace fs = std::filesystem;
  // dev/block/MAJOR:MINOR links to the device's folder: a disk's, or a
  // partition's, which lies inside its disk's.
  const std::string name = std::to_string(major).append(":").append(std::to_string(minor));
  std::error_code error;
  fs::path device = fs::canonical(fs::path(sys_root) / "dev" / "block" / name, error);
  if (error) return false;
  if (fs::exists(device / "partition", error)) device = device.parent_path();
  std::ifstream removable(device / "removable");
  char flag = '0';
  return removable.get(flag) && flag == '1';
}

}  // namespace posix

bool IsOnRemovableDrive(const std::string& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0) return false;
  return posix::BlockDeviceIsRemovable("/sys", major(status.st_dev), minor(status.st_dev));
}

}  // namespace platform
