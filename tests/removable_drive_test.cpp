// The removable-drive test that decides whether extracted files are
// flushed: a fixed disk's folder is not removable, and on Linux the sysfs
// reading, against a fixture tree laid out like /sys.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/removable_drive.h"
#include "support/temp_folder.h"
#ifndef _WIN32
#include "platform/posix/sysfs_removable.h"
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

TEST(RemovableDrive, TemporaryFolderOnAFixedDiskIsNot) {
  TempFolder temp;
  EXPECT_FALSE(platform::IsOnRemovableDrive(temp.path().string()));
  EXPECT_FALSE(platform::IsOnRemovableDrive(temp.File("missing")));
}

#ifndef _WIN32

void WriteText(const fs::path& path, const char* text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

TEST(RemovableDrive, SysfsTellsByTheDiskEvenForAPartition) {
  TempFolder sys;
  const fs::path usb = sys.path() / "devices/pci0000:00/usb1/1-1/host6/block/sdb";
  const fs::path sata = sys.path() / "devices/pci0000:00/ata1/host0/block/sda";
  WriteText(usb / "removable", "1\n");
  WriteText(usb / "sdb1/partition", "1\n");
  WriteText(sata / "removable", "0\n");
  WriteText(sata / "sda1/partition", "1\n");
  // Only the disk's attribute counts, whatever a partition's folder holds.
  WriteText(sata / "sda1/removable", "1\n");
  fs::create_directories(sys.path() / "devices/virtual/block/loop0");
  fs::create_directories(sys.path() / "dev/block");
  const std::pair<const char*, fs::path> links[] = {
      {"8:16", usb}, {"8:17", usb / "sdb1"}, {"8:0", sata}, {"8:1", sata / "sda1"},
      {"7:0", sys.path() / "devices/virtual/block/loop0"}};
  for (const auto& [name, device] : links) {
    fs::create_directory_symlink(fs::relative(device, sys.path() / "dev/block"),
                                 sys.path() / "dev/block" / name);
  }

  const struct {
    unsigned major, minor;
    bool removable;
  } cases[] = {
      {8, 16, true},   // a USB stick
      {8, 17, true},   // its partition
      {8, 0, false},   // a fixed disk
      {8, 1, false},   // its partition
      {7, 0, false},   // no removable attribute
      {0, 45, false},  // no block device at all, as for tmpfs or overlay
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(std::to_string(test.major) + ":" + std::to_string(test.minor));
    EXPECT_EQ(platform::posix::BlockDeviceIsRemovable(sys.path().string(), test.major, test.minor),
              test.removable);
  }
}

#endif

}  // namespace
