// The download file: created anew or emptied, cut back, kept from others
// and closed with its owner, refused where it cannot be made.
#include "platform/download_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/unique_handle.h"
#endif

namespace {

using testing_support::TempFolder;

std::string Contents(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(path, 1 << 20, bytes)) << path;
  return bytes;
}

void Append(platform::DownloadFile& file, const std::string& bytes) {
  file.Append(bytes.data(), bytes.size());
}

// Whether the file is open in this process in a way that matters: on
// Windows, whether another open of it, with every sharing allowed, is
// refused; elsewhere, whether one of the process's descriptors is on it.
bool HeldOpen(const std::string& path) {
#ifdef _WIN32
  const platform::win32::UniqueFileHandle other(CreateFileA(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !other && GetLastError() == ERROR_SHARING_VIOLATION;
#else
  const auto file = std::filesystem::canonical(path);
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code gone;
    if (std::filesystem::read_symlink(entry.path(), gone) == file) return true;
  }
  return false;
#endif
}

TEST(DownloadFile, StartsEmptyWhetherOrNotTheFileWasThere) {
  TempFolder folder;
  for (const std::string& path : {folder.File("new"), folder.Write("old", "a previous download")}) {
    SCOPED_TRACE(path);
    {
      const platform::DownloadFile file(path);
      EXPECT_EQ(file.Size(), 0u);
    }
    EXPECT_EQ(Contents(path), "");
  }
}

TEST(DownloadFile, KeepsWhatIsAppendedAndDropsWhatIsCutBack) {
  TempFolder folder;
  const std::string path = folder.File("tempdata");
  {
    platform::DownloadFile file(path);
    Append(file, "a relocation's body");
    EXPECT_EQ(file.Size(), 19u);
    file.CutBack(0);
    EXPECT_EQ(file.Size(), 0u);
    Append(file, "head:");
    Append(file, "body");
    file.CutBack(5);
    EXPECT_EQ(file.Size(), 5u);
    Append(file, "tail");
    file.CutBack(100);
    EXPECT_EQ(file.Size(), 9u) << "cutting back past the end adds nothing";
  }
  EXPECT_EQ(Contents(path), "head:tail");
}

TEST(DownloadFile, HoldsTheFileFromOthersUntilItsOwnerGoes) {
  TempFolder folder;
  const std::string path = folder.File("tempdata");
  {
    const platform::DownloadFile file(path);
    EXPECT_TRUE(HeldOpen(path));
  }
  EXPECT_FALSE(HeldOpen(path));
}

TEST(DownloadFile, CannotBeMadeWhereAFolderHasTheName) {
  TempFolder folder;
  const std::string path = folder.File("tempdata");
  std::filesystem::create_directory(path);
  try {
    const platform::DownloadFile file(path);
    ADD_FAILURE() << "a download file in the place of a folder";
  } catch (const platform::FileError& error) {
    const std::string expected = std::string("Cannot create file \"").append(path).append("\". ");
    EXPECT_EQ(std::string(error.what()).rfind(expected, 0), 0u) << error.what();
  }
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(DownloadFile, AWriteThatIsRefusedLeavesTheFileShortWithoutThrowing) {
#ifdef _WIN32
  GTEST_SKIP() << "no device refuses every write on this build";
#else
  // Every write to /dev/full fails as on a full disk.
  platform::DownloadFile file("/dev/full");
  Append(file, "body");
  EXPECT_EQ(file.Size(), 0u);
  Append(file, "more");
  EXPECT_EQ(file.Size(), 0u);
#endif
}

}  // namespace
