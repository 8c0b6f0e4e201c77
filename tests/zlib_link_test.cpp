// zlib is linked into both builds, statically on Windows, and does what the
// archive reader will ask of it: a raw inflate and a CRC-32.
#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <string_view>

namespace {

TEST(Zlib, ComputesTheStandardCrc32CheckValue) {
  constexpr std::string_view kCheck = "123456789";
  const auto crc = crc32(0, reinterpret_cast<const Bytef*>(kCheck.data()),
                         static_cast<uInt>(kCheck.size()));
  EXPECT_EQ(crc, 0xcbf43926u);
}

TEST(Zlib, InflatesARawDeflateStream) {
  // "hello" as a raw deflate stream with fixed Huffman codes.
  const std::array<Bytef, 7> deflated = {0xcb, 0x48, 0xcd, 0xc9, 0xc9, 0x07, 0x00};
  std::array<Bytef, 16> inflated{};
  z_stream stream{};
  ASSERT_EQ(inflateInit2(&stream, -MAX_WBITS), Z_OK);
  stream.next_in = const_cast<Bytef*>(deflated.data());
  stream.avail_in = deflated.size();
  stream.next_out = inflated.data();
  stream.avail_out = inflated.size();
  const int status = inflate(&stream, Z_FINISH);
  const auto produced = stream.total_out;
  inflateEnd(&stream);
  ASSERT_EQ(status, Z_STREAM_END);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(inflated.data()), produced), "hello");
}

}  // namespace
