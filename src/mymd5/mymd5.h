// MD5 message digests (RFC 1321): the incremental steps and the two operations
// that the component updates use, the digest of a file and its text form.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mymd5 {

// The 16 digest bytes in RFC 1321 output order: chaining words A, B, C, D,
// each least significant byte first.
using DigestBytes = std::array<std::uint8_t, 16>;

using ChainingWords = std::array<std::uint32_t, 4>;

inline constexpr std::uint32_t kBlockBytes = 64;

// One digest in progress. Owned by whoever computes it; zeroed by DigestFinish.
struct DigestContext {
  ChainingWords chaining;
  // Message length in bits, modulo 2^64: low word first.
  std::array<std::uint32_t, 2> bit_count;
  // Bytes of the incomplete block, bit_count / 8 mod 64 of them.
  std::array<std::uint8_t, kBlockBytes> buffer;
};

void DigestStart(DigestContext& context);

// Any number of calls, with any split of the message into pieces.
void DigestAdd(DigestContext& context, const std::uint8_t* bytes, std::uint32_t count);

// Pads, appends the length, writes the digest and zeroes the context.
void DigestFinish(DigestContext& context, DigestBytes& digest);

// The RFC 1321 compression of one block of kBlockBytes bytes into `chaining`.
void DigestBlock(ChainingWords& chaining, const std::uint8_t* block);

// Digest of the whole content of the file at `path` (8-bit text, relative to
// the current folder). Never fails: a file that cannot be opened or mapped,
// for whatever reason, gives the digest of zero bytes.
DigestBytes FileDigest(const std::string& path);

// As FileDigest, mapping at most `max_view_bytes` of the file at a time; a
// multiple of 64 KiB, so that every view starts on an allocation boundary of
// every platform.
DigestBytes FileDigestInViews(const std::string& path, std::uint32_t max_view_bytes);

// Exactly 32 lower-case hexadecimal characters, high nibble first.
std::string DigestText(const DigestBytes& digest);

}  // namespace mymd5
