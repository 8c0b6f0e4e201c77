// The ZIP reader against archives built here: sound ones, damaged ones,
// bombs and hostile names, with a prompt whose answers the test scripts.
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/zip_archive.h"
#include "platform/zip_directory.h"
#include "platform/zip_entry_data.h"
#include "platform/zip_entry_path.h"
#include "support/temp_folder.h"
#include "support/zip_builder.h"

namespace {

namespace fs = std::filesystem;
namespace zip = platform::zip;
using testing_support::BuildZip;
using testing_support::Crc;
using testing_support::Damaged;
using testing_support::Deflate;
using testing_support::Patch32;
using testing_support::Put16;
using testing_support::Put32;
using testing_support::TempFolder;
using testing_support::TestEntry;
constexpr std::uint16_t kDosDate = testing_support::kZipDosDate;
constexpr std::uint16_t kDosTime = testing_support::kZipDosTime;

class RecordingPrompt final : public zip::EntryFailurePrompt {
 public:
  explicit RecordingPrompt(std::deque<zip::EntryAnswer> answers = {})
      : answers_(std::move(answers)) {}

  zip::EntryAnswer Ask(const std::string& text) override {
    texts.push_back(text);
    if (answers_.empty()) {
      ADD_FAILURE() << "unexpected prompt: " << text;
      return zip::EntryAnswer::kAbort;
    }
    const zip::EntryAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  std::vector<std::string> texts;

 private:
  std::deque<zip::EntryAnswer> answers_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every path under `folder`, relative, sorted.
std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> paths;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    paths.push_back(fs::relative(item.path(), folder).generic_string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// Extracts `archive` into a fresh "target" folder of `temp`.
fs::path Extract(const TempFolder& temp, const std::string& archive,
                 zip::EntryFailurePrompt& prompt) {
  const std::string path = temp.Write("archive.zip", archive);
  const fs::path target = temp.path() / "target";
  fs::create_directory(target);
  zip::ZipArchive reader;
  reader.Open(path);
  reader.ExtractFiles("*.*", target.string(), prompt);
  reader.Close();
  return target;
}

TEST(ZipArchive, ExtractsEntriesFoldersContentAndDate) {
  TempFolder temp;
  const std::string icon(5000, 'i');
  TestEntry stored{"sub/a.png", "stored bytes"};
  stored.method = 0;
  TestEntry folder{"empty/", ""};
  folder.method = 0;
  RecordingPrompt prompt;
  const fs::path target =
      Extract(temp, BuildZip({{"icon.png", icon}, stored, folder, {"d1/d2/d3/deep.png", "deep"}}),
              prompt);

  EXPECT_EQ(Listing(target),
            (std::vector<std::string>{"d1", "d1/d2", "d1/d2/d3", "d1/d2/d3/deep.png", "empty",
                                      "icon.png", "sub", "sub/a.png"}));
  EXPECT_TRUE(fs::is_directory(target / "empty"));
  EXPECT_EQ(ReadFile(target / "icon.png"), icon);
  EXPECT_EQ(ReadFile(target / "sub" / "a.png"), "stored bytes");
  EXPECT_EQ(ReadFile(target / "d1" / "d2" / "d3" / "deep.png"), "deep");

  std::tm local{};
  local.tm_year = 121;
  local.tm_mon = 5;
  local.tm_mday = 15;
  local.tm_hour = 10;
  local.tm_min = 20;
  local.tm_sec = 30;
  local.tm_isdst = -1;
  const std::time_t expected = std::mktime(&local);
  const auto written = std::chrono::file_clock::to_sys(fs::last_write_time(target / "icon.png"));
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count(),
            expected);
  EXPECT_TRUE(prompt.texts.empty());
}

TEST(ZipArchive, TestArchiveJudgesTheEndRecordThenTheEntries) {
  const std::string sound = BuildZip({{"a.png", "alpha"}, {"b.png", "beta"}}, "a comment");
  const std::string damaged = BuildZip({{"a.png", "alpha"}, Damaged("b.png")});
  const std::string random = [] {
    std::string bytes;
    std::uint32_t state = 12345;
    for (int i = 0; i < 4000; ++i) {
      state = state * 1103515245 + 12345;
      bytes.push_back(static_cast<char>(state >> 24));
    }
    return bytes;
  }();
  struct Case {
    const char* what;
    std::optional<std::string> bytes;  // none: no file
    bool sound;
    std::size_t prompts;
  };
  const Case cases[] = {
      {"sound, with a comment", sound, true, 0},
      {"damaged data behind a sound end record: not decompressed", damaged, true, 0},
      {"bytes after the comment: directory read", sound + "xyz", true, 0},
      {"comment mismatch and a damaged entry", damaged + "xyz", false, 1},
      {"comment mismatch and no entry", BuildZip({}) + "x", false, 0},
      {"end record cut short", sound.substr(0, sound.size() - 9 - 5), false, 0},
      {"random bytes", random, false, 0},
      {"shorter than an end record", std::string("PK\x05\x06\0\0\0\0", 8), false, 0},
      {"empty file", std::string(), false, 0},
      {"missing file", std::nullopt, false, 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    TempFolder temp;
    const std::string path = test.bytes ? temp.Write("a.zip", *test.bytes) : temp.File("a.zip");
    RecordingPrompt prompt(std::deque<zip::EntryAnswer>(test.prompts, zip::EntryAnswer::kIgnore));
    EXPECT_EQ(zip::TestArchive(path, prompt), test.sound);
    EXPECT_EQ(prompt.texts.size(), test.prompts);
    // Released: Windows refuses to delete a file that is still open.
    if (test.bytes) {
      EXPECT_TRUE(fs::remove(path));
    }
  }
}

TEST(ZipArchive, DamagedEntryIsPutToThePrompt) {
  using enum zip::EntryAnswer;
  const std::string archive =
      BuildZip({{"a.png", "alpha"}, Damaged("b.png"), {"c.png", "gamma"}});
  struct Case {
    const char* what;
    std::deque<zip::EntryAnswer> answers;
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {"ignore skips it", {kIgnore}, {"a.png", "c.png"}},
      {"retry asks again", {kRetry, kRetry, kIgnore}, {"a.png", "c.png"}},
      {"abort ends the extraction", {kAbort}, {"a.png"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    TempFolder temp;
    RecordingPrompt prompt(test.answers);
    const fs::path target = Extract(temp, archive, prompt);
    EXPECT_EQ(Listing(target), test.written);
    ASSERT_EQ(prompt.texts.size(), test.answers.size());
    EXPECT_NE(prompt.texts[0].find("File processing error, possibly disk is full"),
              std::string::npos);
  }
}

TEST(ZipArchive, EntryFailingItsChecksIsNotLeftBehind) {
  TestEntry crc{"crc.png", "content"};
  crc.crc = Crc("content") ^ 1;
  TestEntry longer{"longer.png", "ten bytes!"};
  longer.method = 0;
  longer.uncompressed_size = 9;
  TestEntry shorter{"shorter.png", "ten bytes!"};
  shorter.uncompressed_size = 11;
  TestEntry bomb{"bomb.png", std::string(1 << 20, '\0')};
  bomb.uncompressed_size = 10;
  TestEntry bzip2{"bzip2.png", "data"};
  bzip2.method = 12;
  bzip2.stored_bytes = "data";
  TestEntry encrypted{"encrypted.png", "data"};
  encrypted.flags = 1;
  for (const TestEntry& entry : {crc, longer, shorter, bomb, bzip2, encrypted}) {
    SCOPED_TRACE(entry.name);
    TempFolder temp;
    RecordingPrompt prompt({zip::EntryAnswer::kIgnore});
    const fs::path target = Extract(temp, BuildZip({entry, {"next.png", "next"}}), prompt);
    EXPECT_EQ(Listing(target), std::vector<std::string>{"next.png"});
    EXPECT_EQ(prompt.texts.size(), 1u);
  }
}

TEST(ZipArchive, EntryUnderAFileFailsAndTheNextIsWritten) {
  TempFolder temp;
  RecordingPrompt prompt({zip::EntryAnswer::kIgnore, zip::EntryAnswer::kIgnore});
  const fs::path target = Extract(
      temp, BuildZip({{"x.png", "file"}, {"x.png/y.png", "under a file"},
                      {"x.png/sub/z.png", "deeper"}, {"next/n.png", "next"}}),
      prompt);
  EXPECT_EQ(Listing(target), (std::vector<std::string>{"next", "next/n.png", "x.png"}));
  EXPECT_EQ(ReadFile(target / "x.png"), "file");
  EXPECT_EQ(prompt.texts.size(), 2u);
}

TEST(ZipArchive, WritesEntriesWhosePathIsLongerThanMaxPath) {
  const std::string folder(100, 'f');
  const std::string name = folder + "/" + folder + "/" + std::string(100, 'n') + ".png";
  TempFolder temp;
  RecordingPrompt prompt;
  const fs::path target = Extract(temp, BuildZip({{name, "deep icon"}}), prompt);
  ASSERT_GT((target / name).string().size(), 260u);
  EXPECT_EQ(ReadFile(target / name), "deep icon");
  EXPECT_TRUE(prompt.texts.empty());
}

TEST(ZipArchive, EachEntryStartsFromAFreshInflateState) {
  // Bytes after the end of a deflate stream belong to no entry but that one:
  // they must not reach the next entry's inflate.
  TestEntry padded{"padded.png", "first entry"};
  padded.stored_bytes = Deflate("first entry") + std::string("\x03\x00trailing", 10);
  const std::string big(200'000, 'b');  // more than one output buffer
  TempFolder temp;
  RecordingPrompt prompt({zip::EntryAnswer::kIgnore});
  const fs::path target = Extract(
      temp, BuildZip({padded, {"next.png", "second entry"}, Damaged("damaged.png"),
                      {"big.png", big}, {"last.png", "last entry"}}),
      prompt);
  EXPECT_EQ(ReadFile(target / "padded.png"), "first entry");
  EXPECT_EQ(ReadFile(target / "next.png"), "second entry");
  EXPECT_TRUE(ReadFile(target / "big.png") == big);
  EXPECT_EQ(ReadFile(target / "last.png"), "last entry");
  EXPECT_EQ(prompt.texts.size(), 1u);
}

class CountingSink final : public zip::EntryDataSink {
 public:
  void Write(std::string_view bytes) override { count += bytes.size(); }
  std::size_t count = 0;
};

TEST(ZipArchive, BombNeverHandsOnMoreThanItsStatedSize) {
  const std::string data(1 << 20, '\0');
  zip::DirectoryEntry entry;
  entry.method = 8;
  entry.uncompressed_size = 10;
  entry.crc32 = Crc(data);
  CountingSink sink;
  zip::EntryDecoder decoder;
  EXPECT_THROW(decoder.Decode(Deflate(data), entry, sink), zip::EntryError);
  EXPECT_LE(sink.count, 10u);
}

TEST(ZipArchive, HostileNamesAreNeverWritten) {
  const char* const names[] = {
      "../evil.txt",  "sub/../../evil.txt", "/abs.txt", "\\\\server\\share\\x.txt",
      "//server/x.txt", "C:\\x.txt", "C:x.txt", "a\\..\\..\\evil.txt",
      "CON", "nul.txt", "sub/aux.png", "Com1.txt", "lpt9", "a/b:stream",
  };
  for (const char* name : names) {
    SCOPED_TRACE(name);
    TempFolder temp;
    RecordingPrompt prompt({zip::EntryAnswer::kIgnore});
    TestEntry entry{name, "x"};
    entry.method = 0;
    const fs::path target = Extract(temp, BuildZip({entry}), prompt);
    EXPECT_EQ(Listing(temp.path()), (std::vector<std::string>{"archive.zip", "target"}));
    ASSERT_EQ(prompt.texts.size(), 1u);
    EXPECT_NE(prompt.texts[0].find("unsafe name"), std::string::npos) << prompt.texts[0];
  }
}

TEST(ZipEntryPath, ResolvesSafeNamesAndRefusesTheRest) {
  struct Case {
    const char* name;
    std::optional<std::string> relative;
    bool is_folder;
  };
  const Case cases[] = {
      {"a.png", "a.png", false},
      {"a\\b\\c.png", "a/b/c.png", false},
      {"sub/./x//y.png", "sub/x/y.png", false},
      {"sub/../ok.png", "ok.png", false},
      {"dir/", "dir", true},
      {"COM10", "COM10", false},
      {"console.png", "console.png", false},
      {"", std::nullopt, false},
      {"sub/..", std::nullopt, false},
      {"..", std::nullopt, false},
      {"\\x.txt", std::nullopt, false},
      {"ok/AUX .txt", std::nullopt, false},
      {"tab\there", std::nullopt, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::optional<zip::EntryPath> path = zip::SafeEntryPath(test.name);
    ASSERT_EQ(path.has_value(), test.relative.has_value());
    if (path) {
      EXPECT_EQ(path->relative, *test.relative);
      EXPECT_EQ(path->is_folder, test.is_folder);
    }
  }
}

TEST(ZipEntryPath, DecodesCodePage437UnlessFlaggedUtf8) {
  EXPECT_EQ(zip::EntryNameToUtf8("caf\x82", false), "caf\xC3\xA9");
  EXPECT_EQ(zip::EntryNameToUtf8("\xE1\xB0\xFF", false), "\xC3\x9F\xE2\x96\x91\xC2\xA0");
  EXPECT_EQ(zip::EntryNameToUtf8("caf\xC3\xA9", true), "caf\xC3\xA9");
}

TEST(ZipArchive, WritesCodePage437AndUtf8Names) {
  TempFolder temp;
  RecordingPrompt prompt;
  TestEntry utf8{"na\xC3\xAFve.png", "utf-8"};
  utf8.flags = 0x0800;
  const fs::path target = Extract(temp, BuildZip({{"caf\x82.png", "cp437"}, utf8}), prompt);
  EXPECT_EQ(ReadFile(target / fs::path(u8"caf\u00e9.png")), "cp437");
  EXPECT_EQ(ReadFile(target / fs::path(u8"na\u00efve.png")), "utf-8");
}

bool IsWritable(const fs::path& path) {
  return (fs::status(path).permissions() & fs::perms::owner_write) != fs::perms::none;
}

TEST(ZipArchive, ReplacesReadOnlyFilesAndSetsTheHostsAttributes) {
  TempFolder temp;
  const fs::path target = temp.path() / "target";
  fs::create_directory(target);
  std::ofstream(target / "a.png") << "old";
  fs::permissions(target / "a.png", fs::perms::owner_write | fs::perms::group_write |
                                        fs::perms::others_write,
                  fs::perm_options::remove);
  TestEntry dos{"dos.png", "dos"};
  dos.host = 0;
  dos.external_attributes = 0x01;  // FILE_ATTRIBUTE_READONLY
  TestEntry unix_entry{"unix.png", "unix"};
  unix_entry.host = 3;
  unix_entry.external_attributes = 0100444u << 16;
  RecordingPrompt prompt;
  Extract(temp, BuildZip({{"a.png", "new"}, dos, unix_entry}), prompt);
  EXPECT_EQ(ReadFile(target / "a.png"), "new");
  EXPECT_TRUE(IsWritable(target / "a.png")) << "written anew, not with the old file's mode";
#ifdef _WIN32
  EXPECT_FALSE(IsWritable(target / "dos.png"));
  EXPECT_TRUE(IsWritable(target / "unix.png"));
#else
  EXPECT_TRUE(IsWritable(target / "dos.png"));
  EXPECT_FALSE(IsWritable(target / "unix.png"));
#endif
  for (const char* name : {"dos.png", "unix.png"}) {
    fs::permissions(target / name, fs::perms::owner_write, fs::perm_options::add);
  }
}

TEST(ZipArchive, OpenRefusesWhatItCannotRead) {
  const std::string sound = BuildZip({{"a.png", "alpha"}});
  const std::size_t end = sound.size() - zip::kEndRecordBytes;
  const std::size_t directory = end - 46 - 5;
  std::string count_marker = sound;
  count_marker.replace(end + 8, 4, "\xFF\xFF\xFF\xFF");
  std::string offset_marker = sound;
  Patch32(offset_marker, end + 16, 0xFFFFFFFF);
  std::string size_marker = sound;
  Patch32(size_marker, directory + 20, 0xFFFFFFFF);
  std::string locator = sound;
  locator.insert(end, std::string("PK\x06\x07", 4) + std::string(16, '\0'));
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"ZIP64 entry count", count_marker},   {"ZIP64 directory offset", offset_marker},
      {"ZIP64 compressed size", size_marker}, {"ZIP64 locator", locator},
      {"no end record", std::string(100, 'x')}, {"missing file", std::nullopt},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    TempFolder temp;
    const std::string path = bytes ? temp.Write("a.zip", *bytes) : temp.File("a.zip");
    zip::ZipArchive reader;
    EXPECT_THROW(reader.Open(path), zip::ZipError);
  }
}

TEST(ZipDirectory, FindsTheEndRecordNearestTheEndThatFits) {
  // Two records: the earlier one's comment holds the later one.
  std::string early = BuildZip({}, std::string(22, '\0'));
  early.replace(early.size() - 22, 22, BuildZip({}));
  Patch32(early, 12, 0);  // tells the two apart: the later one's size field
  const std::string tail = early;
  const auto exact = zip::FindEndRecord(tail, tail.size(), zip::CommentFit::kExact);
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->record_offset, 22u);

  // A comment that runs past the file: no record.
  std::string cut = BuildZip({}, "comment");
  cut.resize(cut.size() - 1);
  EXPECT_FALSE(zip::FindEndRecord(cut, cut.size(), zip::CommentFit::kWithinFile));
  // Trailing bytes after the comment: only a loose fit.
  const std::string trailing = BuildZip({}, "comment") + "junk";
  EXPECT_FALSE(zip::FindEndRecord(trailing, trailing.size(), zip::CommentFit::kExact));
  EXPECT_TRUE(zip::FindEndRecord(trailing, trailing.size(), zip::CommentFit::kWithinFile));
  // The tail of a larger file: offsets count from the file's start.
  const auto offset =
      zip::FindEndRecord(BuildZip({}), 1000, zip::CommentFit::kExact);
  ASSERT_TRUE(offset);
  EXPECT_EQ(offset->record_offset, 1000u - zip::kEndRecordBytes);
}

TEST(ZipDirectory, RefusesCountsLengthsAndOffsetsThatDoNotFit) {
  const std::string sound = BuildZip({{"a.png", "alpha"}});
  const std::size_t end_at = sound.size() - zip::kEndRecordBytes;
  const auto end = zip::FindEndRecord(sound, sound.size(), zip::CommentFit::kExact);
  ASSERT_TRUE(end);
  const std::string directory = sound.substr(end->directory_offset, end->directory_size);
  ASSERT_EQ(zip::ParseCentralDirectory(directory, *end).size(), 1u);
  EXPECT_EQ(zip::ParseCentralDirectory(directory, *end)[0].raw_name, "a.png");

  zip::EndRecord more = *end;
  more.entry_count = 2;
  std::string long_name = directory;
  long_name[28] = 6;
  std::string far_data = directory;
  Patch32(far_data, 42, end->directory_offset - 29);
  std::string bad_signature = directory;
  bad_signature[0] = 'X';
  const std::pair<const char*, std::pair<std::string, zip::EndRecord>> cases[] = {
      {"more entries than fit", {directory, more}},
      {"name runs past the directory", {long_name, *end}},
      {"data overlaps the directory", {far_data, *end}},
      {"no header signature", {bad_signature, *end}},
      {"directory cut short", {directory.substr(1), *end}},
  };
  for (const auto& [what, input] : cases) {
    SCOPED_TRACE(what);
    EXPECT_THROW(zip::ParseCentralDirectory(input.first, input.second), zip::ZipError);
  }
  // A directory said to reach into its own end record.
  std::string overlap = sound;
  Patch32(overlap, end_at + 12, end->directory_size + 1);
  EXPECT_THROW(zip::FindEndRecord(overlap, overlap.size(), zip::CommentFit::kExact),
               zip::ZipError);
}

}  // namespace
