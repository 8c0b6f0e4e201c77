#include "support/zip_builder.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace testing_support {

std::uint32_t Crc(const std::string& data) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string Deflate(const std::string& data) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY),
            Z_OK);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8 & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void Patch32(std::string& bytes, std::size_t at, std::uint32_t value) {
  std::string field;
  Put32(field, value);
  bytes.replace(at, 4, field);
}

std::string BuildZip(const std::vector<TestEntry>& entries, const std::string& comment) {
  std::string file;
  std::string directory;
  for (const TestEntry& entry : entries) {
    const std::string encoded = entry.stored_bytes ? *entry.stored_bytes
                                : entry.method == 8 ? Deflate(entry.data)
                                                    : entry.data;
    const auto offset = static_cast<std::uint32_t>(file.size());
    const auto name_length = static_cast<std::uint32_t>(entry.name.size());
    std::string common;
    Put16(common, 20);
    Put16(common, entry.flags);
    Put16(common, entry.method);
    Put16(common, kZipDosTime);
    Put16(common, kZipDosDate);
    Put32(common, entry.crc.value_or(Crc(entry.data)));
    Put32(common, static_cast<std::uint32_t>(encoded.size()));
    Put32(common, entry.uncompressed_size.value_or(static_cast<std::uint32_t>(entry.data.size())));
    Put16(common, name_length);
    Put16(common, 0);
    Put32(file, 0x04034b50);
    file.append(common).append(entry.name).append(encoded);
    Put32(directory, 0x02014b50);
    Put16(directory, static_cast<std::uint32_t>(entry.host) << 8 | 20);
    directory.append(common);
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, entry.external_attributes);
    Put32(directory, offset);
    directory.append(entry.name);
  }
  const auto directory_offset = static_cast<std::uint32_t>(file.size());
  file.append(directory);
  Put32(file, 0x06054b50);
  Put32(file, 0);
  Put16(file, static_cast<std::uint32_t>(entries.size()));
  Put16(file, static_cast<std::uint32_t>(entries.size()));
  Put32(file, static_cast<std::uint32_t>(directory.size()));
  Put32(file, directory_offset);
  Put16(file, static_cast<std::uint32_t>(comment.size()));
  return file.append(comment);
}

TestEntry Damaged(std::string name) {
  TestEntry entry{std::move(name), "damaged icon"};
  entry.stored_bytes = std::string(4, '\xFF');  // deflate block type 3: invalid
  return entry;
}

}  // namespace testing_support
