// The digest itself: the RFC 1321 test suite, the incremental steps, the
// padding boundaries and the text form.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string_view>
#include <vector>

#include "mymd5/mymd5.h"

namespace mymd5 {
namespace {

const std::uint8_t* Bytes(std::string_view text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

// Digest text of `message` added in pieces whose sizes cycle through `pieces`.
std::string DigestInPieces(std::string_view message, const std::vector<std::uint32_t>& pieces) {
  DigestContext context;
  DigestStart(context);
  std::size_t offset = 0;
  for (std::size_t i = 0; offset < message.size(); ++i) {
    const std::size_t count = std::min<std::size_t>(pieces[i % pieces.size()],
                                                    message.size() - offset);
    DigestAdd(context, Bytes(message) + offset, static_cast<std::uint32_t>(count));
    offset += count;
  }
  DigestBytes digest;
  DigestFinish(context, digest);
  return DigestText(digest);
}

std::string DigestOfText(std::string_view message) {
  return DigestInPieces(message, {static_cast<std::uint32_t>(message.size())});
}

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

struct RfcCase {
  std::string_view message;
  std::string_view digest;
};

// RFC 1321, appendix A.5.
constexpr RfcCase kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890"
     "123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Digest, MatchesTheRfc1321TestSuite) {
  for (const RfcCase& rfc : kRfc1321Suite) {
    EXPECT_EQ(DigestOfText(rfc.message), rfc.digest) << '"' << rfc.message << '"';
  }
}

// Lengths around the point where the padding and the length no longer fit
// in the last block; digests from md5sum.
TEST(Digest, PadsAcrossTheBlockBoundary) {
  const struct {
    std::size_t length;
    std::string_view digest;
  } cases[] = {
      {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
      {57, "652b906d60af96844ebd21b674f35e93"},  {63, "b06521f39153d618550606be297466d5"},
      {64, "014842d480b571495a4a0363793f7367"},  {65, "c743a45e0d2e6a95cb859adae0248435"},
      {119, "8a7bd0732ed6a28ce75f6dabc90e1613"}, {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
  };
  for (const auto& length_case : cases) {
    EXPECT_EQ(DigestOfText(std::string(length_case.length, 'a')), length_case.digest)
        << length_case.length << " bytes";
  }
}

TEST(Digest, AnySplitIntoPiecesGivesTheSameDigest) {
  const std::string message = RandomBytes(1000, 7);
  const std::string whole = DigestOfText(message);
  const std::vector<std::vector<std::uint32_t>> splits = {
      {1}, {3}, {7, 1}, {55}, {56}, {63}, {64}, {65}, {0, 5}, {127, 1, 64}, {200, 13},
  };
  for (const auto& pieces : splits) {
    EXPECT_EQ(DigestInPieces(message, pieces), whole) << "first piece " << pieces[0];
  }
}

TEST(Digest, BitCountCarriesIntoTheHighWord) {
  DigestContext context;
  DigestStart(context);
  context.bit_count = {0xfffffff8u, 0};
  const std::uint8_t byte = 'x';
  DigestAdd(context, &byte, 1);
  EXPECT_EQ(context.bit_count[0], 0u);
  EXPECT_EQ(context.bit_count[1], 1u);
}

TEST(Digest, FinishZeroesTheContext) {
  DigestContext context;
  DigestStart(context);
  DigestAdd(context, Bytes("some pending bytes"), 18);
  DigestBytes digest;
  DigestFinish(context, digest);
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&context);
  EXPECT_TRUE(std::all_of(raw, raw + sizeof context, [](std::uint8_t b) { return b == 0; }));
}

TEST(DigestText, WritesTwoLowerCaseDigitsPerByteHighNibbleFirst) {
  DigestBytes digest;
  std::iota(digest.begin(), digest.end(), std::uint8_t{0});
  EXPECT_EQ(DigestText(digest), "000102030405060708090a0b0c0d0e0f");
  std::iota(digest.begin(), digest.end(), std::uint8_t{0xf0});
  EXPECT_EQ(DigestText(digest), "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff");
}

}  // namespace
}  // namespace mymd5
