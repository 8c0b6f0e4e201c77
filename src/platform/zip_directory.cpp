// Reading the end record and the central directory: little-endian fields at
// fixed offsets, each count and offset checked against what holds it.
#include "platform/zip_directory.h"

#include "platform/zip_archive.h"

namespace platform::zip {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kCentralHeaderBytes = 46;
constexpr std::size_t kZip64LocatorBytes = 20;
constexpr std::uint16_t kEncryptedFlag = 0x0001;
constexpr std::uint16_t kUtf8NameFlag = 0x0800;

std::uint16_t Read16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t Read32(std::string_view bytes, std::size_t at) {
  return Read16(bytes, at) | static_cast<std::uint32_t>(Read16(bytes, at + 2)) << 16;
}

[[noreturn]] void Fail(const char* what) {
  throw ZipError(std::string("Damaged archive: ").append(what));
}

// A record that only ZIP64 can complete: its fields hold the markers, or the
// ZIP64 locator stands right before it.
bool NeedsZip64(std::string_view tail, std::size_t at) {
  if (Read16(tail, at + 8) == 0xFFFF || Read16(tail, at + 10) == 0xFFFF ||
      Read32(tail, at + 12) == 0xFFFFFFFF || Read32(tail, at + 16) == 0xFFFFFFFF) {
    return true;
  }
  return at >= kZip64LocatorBytes && Read32(tail, at - kZip64LocatorBytes) == kZip64LocatorSignature;
}

}  // namespace

std::optional<EndRecord> FindEndRecord(std::string_view tail, std::uint64_t file_size,
                                       CommentFit fit) {
  if (tail.size() < kEndRecordBytes || tail.size() > file_size) return std::nullopt;
  const std::uint64_t tail_offset = file_size - tail.size();
  for (std::size_t at = tail.size() - kEndRecordBytes + 1; at-- > 0;) {
    if (Read32(tail, at) != kEndSignature) continue;
    const std::size_t after_record = tail.size() - at - kEndRecordBytes;
    const std::uint16_t comment_length = Read16(tail, at + 20);
    if (fit == CommentFit::kExact ? comment_length != after_record
                                  : comment_length > after_record) {
      continue;
    }
    if (NeedsZip64(tail, at)) throw ZipError("ZIP64 archives are not supported");
    EndRecord end;
    end.record_offset = tail_offset + at;
    end.entry_count = Read16(tail, at + 10);
    end.directory_size = Read32(tail, at + 12);
    end.directory_offset = Read32(tail, at + 16);
    if (std::uint64_t{end.directory_offset} + end.directory_size > end.record_offset) {
      Fail("the central directory does not lie before its end record");
    }
    return end;
  }
  return std::nullopt;
}

std::vector<DirectoryEntry> ParseCentralDirectory(std::string_view directory,
                                                  const EndRecord& end) {
  if (directory.size() != end.directory_size) Fail("the central directory is cut short");
  // Bounds the reservation too: each header takes at least its fixed part.
  if (std::uint64_t{end.entry_count} * kCentralHeaderBytes > directory.size()) {
    Fail("more entries than the central directory can hold");
  }
  std::vector<DirectoryEntry> entries;
  entries.reserve(end.entry_count);
  std::size_t at = 0;
  for (std::uint16_t index = 0; index < end.entry_count; ++index) {
    if (directory.size() - at < kCentralHeaderBytes || Read32(directory, at) != kCentralSignature) {
      Fail("a central directory header is missing");
    }
    const std::size_t name_length = Read16(directory, at + 28);
    const std::size_t variable_length =
        name_length + Read16(directory, at + 30) + Read16(directory, at + 32);
    if (directory.size() - at - kCentralHeaderBytes < variable_length) {
      Fail("a name, extra field or comment runs past the central directory");
    }
    DirectoryEntry entry;
    const std::uint16_t flags = Read16(directory, at + 8);
    entry.host = static_cast<std::uint8_t>(Read16(directory, at + 4) >> 8);
    entry.encrypted = (flags & kEncryptedFlag) != 0;
    entry.utf8_name = (flags & kUtf8NameFlag) != 0;
    entry.method = Read16(directory, at + 10);
    entry.dos_time = Read16(directory, at + 12);
    entry.dos_date = Read16(directory, at + 14);
    entry.crc32 = Read32(directory, at + 16);
    entry.compressed_size = Read32(directory, at + 20);
    entry.uncompressed_size = Read32(directory, at + 24);
    entry.external_attributes = Read32(directory, at + 38);
    entry.local_header_offset = Read32(directory, at + 42);
    entry.raw_name = std::string(directory.substr(at + kCentralHeaderBytes, name_length));
    if (entry.compressed_size == 0xFFFFFFFF || entry.uncompressed_size == 0xFFFFFFFF ||
        entry.local_header_offset == 0xFFFFFFFF) {
      throw ZipError("ZIP64 archives are not supported");
    }
    if (std::uint64_t{entry.local_header_offset} + kLocalHeaderBytes + entry.compressed_size >
        end.directory_offset) {
      Fail("an entry's data does not lie before the central directory");
    }
    entries.push_back(std::move(entry));
    at += kCentralHeaderBytes + variable_length;
  }
  return entries;
}

std::optional<std::uint64_t> LocalDataOffset(std::string_view local_header,
                                             const DirectoryEntry& entry,
                                             std::uint64_t directory_offset) {
  if (local_header.size() < kLocalHeaderBytes || Read32(local_header, 0) != kLocalSignature) {
    return std::nullopt;
  }
  const std::uint64_t data_offset = std::uint64_t{entry.local_header_offset} +
                                    kLocalHeaderBytes + Read16(local_header, 26) +
                                    Read16(local_header, 28);
  if (data_offset + entry.compressed_size > directory_offset) return std::nullopt;
  return data_offset;
}

}  // namespace platform::zip
