// Putting a download in place and deleting it: every kind of target, within
// one folder and across file systems, and a target another handle holds.
#include "platform/file_moves.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "platform/file_system.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/unique_handle.h"
#else
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

std::string Contents(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(path, 1 << 20, bytes)) << path;
  return bytes;
}

enum class Before { kNothing, kFile, kFolder };

void Place(Before before, const std::string& path, const std::string& bytes) {
  if (before == Before::kFile) platform::WriteWholeFile(path, bytes);
  if (before == Before::kFolder) fs::create_directory(path);
}

struct MoveCase {
  const char* what;
  Before source;
  Before target;
  bool moves;
};

constexpr MoveCase kMoveCases[] = {
    {"replaces an existing file", Before::kFile, Before::kFile, true},
    {"creates a missing target", Before::kFile, Before::kNothing, true},
    {"fails without a source", Before::kNothing, Before::kFile, false},
    {"fails onto a folder", Before::kFile, Before::kFolder, false},
};

// The source's permissions, which the moved file must keep: on Linux the
// updater's own file has to stay a program.
constexpr auto kSourcePermissions =
    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;

// One case, with the target in `folder` and the source in `source_folder`.
void CheckMove(const MoveCase& move, const fs::path& source_folder, const TempFolder& folder) {
  SCOPED_TRACE(move.what);
  const std::string source = (source_folder / "tempdata").string();
  const std::string target = folder.File("target");
  Place(move.source, source, "new bytes");
  if (move.source == Before::kFile) fs::permissions(source, kSourcePermissions);
  Place(move.target, target, "old bytes");

  EXPECT_EQ(platform::ReplaceFileWith(source, target), move.moves);

  if (move.moves) {
    EXPECT_EQ(Contents(target), "new bytes");
    EXPECT_FALSE(fs::exists(source));
#ifndef _WIN32
    EXPECT_EQ(fs::status(target).permissions(), kSourcePermissions);
#endif
  } else {
    EXPECT_EQ(fs::exists(source), move.source != Before::kNothing);
    if (move.source == Before::kFile) {
      EXPECT_EQ(Contents(source), "new bytes");
    }
    if (move.target == Before::kFile) {
      EXPECT_EQ(Contents(target), "old bytes");
    } else if (move.target == Before::kFolder) {
      EXPECT_TRUE(fs::is_directory(target));
    }
  }
  // No copy is left half made beside the target.
  std::set<std::string> expected;
  if (fs::exists(target)) expected.insert("target");
  if (source_folder == folder.path() && fs::exists(source)) expected.insert("tempdata");
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, expected);
}

TEST(ReplaceFileWith, WithinOneFolder) {
  for (const MoveCase& move : kMoveCases) {
    const TempFolder folder;
    CheckMove(move, folder.path(), folder);
  }
}

// A folder of the machine's RAM disk, when it is another file system than the
// temporary folder's.
std::optional<fs::path> OtherFileSystem() {
#ifdef _WIN32
  // Under Wine drive Z: is the host's root: its RAM disk is another volume.
  const fs::path candidate = "Z:\\dev\\shm";
  std::error_code absent;
  if (!fs::is_directory(candidate, absent)) return std::nullopt;
#else
  const fs::path candidate = "/dev/shm";
  struct stat ram_disk {};
  struct stat temporary {};
  if (::stat(candidate.c_str(), &ram_disk) != 0 ||
      ::stat(fs::temp_directory_path().c_str(), &temporary) != 0 ||
      ram_disk.st_dev == temporary.st_dev) {
    return std::nullopt;
  }
#endif
  return candidate;
}

// A folder of its own below `base`, removed with its contents at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const fs::path& base)
      : path_(base / std::string("kelvane-moves-").append(std::to_string(std::random_device{}()))) {
    fs::create_directory(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST(ReplaceFileWith, AcrossFileSystems) {
  const std::optional<fs::path> other = OtherFileSystem();
  if (!other) GTEST_SKIP() << "no RAM disk apart from the temporary folder's file system here";
  for (const MoveCase& move : kMoveCases) {
    const TempFolder folder;
    const ScratchFolder sources(*other);
    CheckMove(move, sources.path(), folder);
  }
}

TEST(ReplaceFileWith, FailsOntoAFileThatAnotherHandleHoldsWithoutSharing) {
#ifndef _WIN32
  GTEST_SKIP() << "files have no share modes on this build";
#else
  const TempFolder folder;
  const std::string source = folder.Write("tempdata", "new bytes");
  const std::string target = folder.Write("target", "old bytes");
  {
    const platform::win32::UniqueFileHandle holder(CreateFileA(
        target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(platform::ReplaceFileWith(source, target));
  }
  EXPECT_EQ(Contents(source), "new bytes");
  EXPECT_EQ(Contents(target), "old bytes");
#endif
}

TEST(DeleteFileAt, DeletesAFileAndNothingElse) {
  const struct {
    const char* what;
    Before before;
    bool deleted;
  } cases[] = {
      {"a file", Before::kFile, true},
      {"no file: as on Windows, nothing was deleted", Before::kNothing, false},
      {"a folder", Before::kFolder, false},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.what);
    const TempFolder folder;
    const std::string path = folder.File("tempdata");
    Place(each.before, path, "corrupt bytes");
    EXPECT_EQ(platform::DeleteFileAt(path), each.deleted);
    EXPECT_EQ(fs::exists(path), each.before == Before::kFolder);
  }
}

}  // namespace
