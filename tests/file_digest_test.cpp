// The digest of a file: every way a file cannot be read gives the digest of
// empty input, every readable file gives what another implementation gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "mymd5/mymd5.h"
#include "support/reference_md5.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/unique_handle.h"
#endif

namespace mymd5 {
namespace {

using testing_support::ReferenceFileMd5;
using testing_support::TempFolder;

constexpr std::string_view kEmptyDigest = "d41d8cd98f00b204e9800998ecf8427e";

std::string FileDigestText(const std::string& path) { return DigestText(FileDigest(path)); }

std::string RandomBytes(std::size_t size, std::mt19937& generator) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

TEST(FileDigest, UnreadablePathsGiveTheDigestOfEmptyInput) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() / "a folder");
  const std::string cases[] = {
      folder.File("missing"),
      folder.File("a folder"),
      folder.Write("empty", ""),
      "",
  };
  for (const std::string& path : cases) {
    EXPECT_EQ(FileDigestText(path), kEmptyDigest) << '"' << path << '"';
  }
}

TEST(FileDigest, MatchesAnIndependentImplementation) {
  TempFolder folder;
  std::mt19937 generator(20261211);
  // The padding boundaries, then sizes of every kind up to a few views' worth.
  std::vector<std::size_t> sizes = {1, 55, 56, 63, 64, 65, 119, 120, 128, 4096, 65536, 65537};
  std::uniform_int_distribution<std::size_t> any_size(1, 3 << 20);
  for (int i = 0; i < 8; ++i) sizes.push_back(any_size(generator));

  for (const std::size_t size : sizes) {
    const std::string path = folder.Write("random", RandomBytes(size, generator));
    const std::string expected = ReferenceFileMd5(path);
    ASSERT_EQ(expected.size(), 32u) << "reference tool failed";
    EXPECT_EQ(FileDigestText(path), expected) << size << " bytes";
  }
}

TEST(FileDigest, RelativePathsResolveAgainstTheCurrentFolder) {
  TempFolder folder;
  folder.Write("relative.bin", "abc");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  const std::string text = FileDigestText("relative.bin");
  std::filesystem::current_path(previous);
  EXPECT_EQ(text, "900150983cd24fb0d6963f7d28e17f72");
}

TEST(FileDigest, ViewsOfAnySizeGiveTheWholeFilesDigest) {
  TempFolder folder;
  std::mt19937 generator(4);
  constexpr std::uint32_t kView = 64 * 1024;
  for (const std::size_t size : {std::size_t{kView}, std::size_t{2 * kView},
                                 std::size_t{3 * kView + 17}}) {
    const std::string path = folder.Write("views", RandomBytes(size, generator));
    EXPECT_EQ(DigestText(FileDigestInViews(path, kView)), ReferenceFileMd5(path))
        << size << " bytes";
  }
}

// A 32-bit size would digest only the 3 bytes past 4 GiB. The file is sparse,
// so it takes no disk space. Expected: md5sum of 4 GiB of zeros, then "abc".
TEST(FileDigest, DigestsTheWholeOfAFileOfFourGibibytesOrMore) {
  TempFolder folder;
  const std::string path = folder.File("large");
  {
    std::ofstream out(path, std::ios::binary);
    out.seekp(std::streamoff{1} << 32);
    out.write("abc", 3);
    ASSERT_TRUE(out);
  }
  ASSERT_EQ(std::filesystem::file_size(path), (std::uintmax_t{1} << 32) + 3);
  EXPECT_EQ(FileDigestText(path), "59eb8cc802c86d3eda7e0d1912f6a9c3");
}

#ifdef _WIN32

// The sharing rules see no difference between another program's handle and
// another handle of this process.
TEST(FileDigest, FollowsTheSharingOfHandlesThatOthersHold) {
  TempFolder folder;
  const std::string path = folder.Write("held", "abc");
  constexpr std::string_view kAbcDigest = "900150983cd24fb0d6963f7d28e17f72";
  const struct {
    const char* holder;
    DWORD access;
    DWORD sharing;
    std::string_view digest;
  } cases[] = {
      {"reader that shares nothing", GENERIC_READ, 0, kEmptyDigest},
      {"writer that shares nothing", GENERIC_WRITE, 0, kEmptyDigest},
      {"reader that shares writing only", GENERIC_READ, FILE_SHARE_WRITE, kEmptyDigest},
      {"reader that shares reading", GENERIC_READ, FILE_SHARE_READ, kAbcDigest},
      {"writer that shares reading", GENERIC_WRITE, FILE_SHARE_READ, kAbcDigest},
      {"reader and writer that shares both", GENERIC_READ | GENERIC_WRITE,
       FILE_SHARE_READ | FILE_SHARE_WRITE, kAbcDigest},
  };
  for (const auto& held : cases) {
    const platform::win32::UniqueFileHandle holder(CreateFileA(
        path.c_str(), held.access, held.sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr));
    ASSERT_TRUE(holder) << held.holder;
    EXPECT_EQ(FileDigestText(path), held.digest) << held.holder;
  }
}

#endif

}  // namespace
}  // namespace mymd5
