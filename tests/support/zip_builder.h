// Small ZIP archives built by the tests: sound ones, and ones that lie
// about their entries, to hold the archive reader and the unpacking to them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// 2021-06-15 10:20:30 in MS-DOS form: the date and time of every entry.
inline constexpr std::uint16_t kZipDosDate = (41 << 9) | (6 << 5) | 15;
inline constexpr std::uint16_t kZipDosTime = (10 << 11) | (20 << 5) | (30 / 2);

// One entry of an archive to build; the overrides make it lie.
struct TestEntry {
  TestEntry(std::string entry_name, std::string entry_data)
      : name(std::move(entry_name)), data(std::move(entry_data)) {}

  std::string name;
  std::string data;
  std::uint16_t method = 8;
  std::uint16_t flags = 0;
  std::uint8_t host = 0;
  std::uint32_t external_attributes = 0;
  std::optional<std::string> stored_bytes;  // replaces the encoded data
  std::optional<std::uint32_t> crc;
  std::optional<std::uint32_t> uncompressed_size;
};

std::string BuildZip(const std::vector<TestEntry>& entries, const std::string& comment = "");

// An entry whose data no inflater accepts.
TestEntry Damaged(std::string name);

std::uint32_t Crc(const std::string& data);
// A raw deflate stream of `data`, as an archive holds it.
std::string Deflate(const std::string& data);

void Put16(std::string& out, std::uint32_t value);
void Put32(std::string& out, std::uint32_t value);
void Patch32(std::string& bytes, std::size_t at, std::uint32_t value);

}  // namespace testing_support
