// The archive's table of contents read from raw bytes: the end-of-central-
// directory record and the central directory's file headers. Pure data to
// data, so that every bound on what the file claims can be tested without
// files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::zip {

// The end record is 22 bytes and its comment at most 65,535: a sound record
// always starts within this many bytes of the end of the file.
inline constexpr std::uint64_t kEndRecordSearchBytes = 65'600;
inline constexpr std::size_t kEndRecordBytes = 22;
inline constexpr std::size_t kLocalHeaderBytes = 30;

struct EndRecord {
  std::uint64_t record_offset = 0;  // within the file
  std::uint16_t entry_count = 0;
  std::uint32_t directory_size = 0;
  std::uint32_t directory_offset = 0;
};

// How strictly a candidate record is taken: a sound archive's comment
// reaches exactly to the end of the file; a damaged one may still be read as
// long as its comment does not run past it.
enum class CommentFit { kExact, kWithinFile };

// Finds the record nearest the end in `tail`, the last bytes of a file of
// `file_size` bytes. ZIP64 archives are refused with ZipError; no record is
// nullopt.
std::optional<EndRecord> FindEndRecord(std::string_view tail, std::uint64_t file_size,
                                       CommentFit fit);

struct DirectoryEntry {
  std::string raw_name;  // as stored: CP437 or UTF-8 by `utf8_name`
  bool utf8_name = false;
  bool encrypted = false;
  std::uint8_t host = 0;  // the high byte of "version made by"
  std::uint16_t method = 0;
  std::uint16_t dos_time = 0;
  std::uint16_t dos_date = 0;
  std::uint32_t crc32 = 0;
  std::uint32_t compressed_size = 0;
  std::uint32_t uncompressed_size = 0;
  std::uint32_t external_attributes = 0;
  std::uint32_t local_header_offset = 0;
};

// Parses `directory`, the `end.directory_size` bytes at `end.directory_offset`.
// Throws ZipError when a header, a count, a length or an offset does not fit:
// every entry's local header must lie before the directory.
std::vector<DirectoryEntry> ParseCentralDirectory(std::string_view directory,
                                                  const EndRecord& end);

// The offset of the entry's data within the file, from its `local_header`
// (the first kLocalHeaderBytes); nullopt unless the header is one and the
// data lies before the directory at `directory_offset`. A fault of one
// entry, not of the archive.
std::optional<std::uint64_t> LocalDataOffset(std::string_view local_header, const DirectoryEntry& entry,
                              std::uint64_t directory_offset);

}  // namespace platform::zip
