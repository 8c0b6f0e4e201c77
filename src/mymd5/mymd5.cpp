// MD5 as RFC 1321 defines it, and the digest of a file read through the
// mapped-file seam without copying it.
#include "mymd5/mymd5.h"

#include <bit>
#include <cstring>

#include "platform/mapped_file.h"

namespace mymd5 {
namespace {

constexpr ChainingWords kInitialChaining = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

// One 0x80 byte, then zeros: the most any message needs is a block and 56.
constexpr std::array<std::uint8_t, kBlockBytes + 56> kPadding = {0x80};

constexpr std::uint32_t kLengthBytes = 8;
constexpr std::uint32_t kLengthOffset = kBlockBytes - kLengthBytes;

// The round functions, written so that as few operations as possible wait
// on x, the word that the previous step has just computed; equal to RFC
// 1321's F, H and I. G has a form of its own in StepG.
constexpr std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  return z ^ (x & (y ^ z));
}
constexpr std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
constexpr std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  return y ^ (x | ~z);
}

template <std::uint32_t (*Round)(std::uint32_t, std::uint32_t, std::uint32_t)>
constexpr void Step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                    std::uint32_t word, int shift, std::uint32_t constant) {
  a = b + std::rotl(a + Round(b, c, d) + word + constant, shift);
}

// G(x, y, z) = (x & z) | (y & ~z): the two terms share no bit, so their sum
// equals their OR, and the term without b joins the sum before b is known.
constexpr void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                     std::uint32_t word, int shift, std::uint32_t constant) {
  a += (c & ~d) + word + constant;
  a += b & d;
  a = b + std::rotl(a, shift);
}

std::uint32_t LoadLittleEndian(const std::uint8_t* bytes) {
  std::uint32_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
  return word;
}

void StoreLittleEndian(std::uint32_t word, std::uint8_t* bytes) {
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
  std::memcpy(bytes, &word, sizeof word);
}

// The compiler may drop a plain memset of an object that dies right after.
void ZeroBytes(void* object, std::size_t size) {
  auto* bytes = static_cast<volatile std::uint8_t*>(object);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = 0;
}

class DigestSink final : public platform::MappedViewSink {
 public:
  explicit DigestSink(DigestContext& context) : context_(context) {}
  void Consume(const std::uint8_t* bytes, std::uint32_t count) override {
    DigestAdd(context_, bytes, count);
  }

 private:
  DigestContext& context_;
};

// The pages of a view count in the process's resident memory until the view
// is let go, so a large file is digested view by view: few enough views that
// mapping them costs nothing beside the digest, small enough that the
// updater stays small however large the file; a multiple of every
// platform's view granularity.
constexpr std::uint32_t kMaxViewBytes = 4U << 20;
static_assert(kMaxViewBytes % platform::kViewGranularity == 0);

}  // namespace

void DigestBlock(ChainingWords& chaining, const std::uint8_t* block) {
  std::uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(block + 4 * i);

  std::uint32_t a = chaining[0];
  std::uint32_t b = chaining[1];
  std::uint32_t c = chaining[2];
  std::uint32_t d = chaining[3];

  Step<F>(a, b, c, d, x[0], 7, 0xd76aa478);
  Step<F>(d, a, b, c, x[1], 12, 0xe8c7b756);
  Step<F>(c, d, a, b, x[2], 17, 0x242070db);
  Step<F>(b, c, d, a, x[3], 22, 0xc1bdceee);
  Step<F>(a, b, c, d, x[4], 7, 0xf57c0faf);
  Step<F>(d, a, b, c, x[5], 12, 0x4787c62a);
  Step<F>(c, d, a, b, x[6], 17, 0xa8304613);
  Step<F>(b, c, d, a, x[7], 22, 0xfd469501);
  Step<F>(a, b, c, d, x[8], 7, 0x698098d8);
  Step<F>(d, a, b, c, x[9], 12, 0x8b44f7af);
  Step<F>(c, d, a, b, x[10], 17, 0xffff5bb1);
  Step<F>(b, c, d, a, x[11], 22, 0x895cd7be);
  Step<F>(a, b, c, d, x[12], 7, 0x6b901122);
  Step<F>(d, a, b, c, x[13], 12, 0xfd987193);
  Step<F>(c, d, a, b, x[14], 17, 0xa679438e);
  Step<F>(b, c, d, a, x[15], 22, 0x49b40821);

  StepG(a, b, c, d, x[1], 5, 0xf61e2562);
  StepG(d, a, b, c, x[6], 9, 0xc040b340);
  StepG(c, d, a, b, x[11], 14, 0x265e5a51);
  StepG(b, c, d, a, x[0], 20, 0xe9b6c7aa);
  StepG(a, b, c, d, x[5], 5, 0xd62f105d);
  StepG(d, a, b, c, x[10], 9, 0x02441453);
  StepG(c, d, a, b, x[15], 14, 0xd8a1e681);
  StepG(b, c, d, a, x[4], 20, 0xe7d3fbc8);
  StepG(a, b, c, d, x[9], 5, 0x21e1cde6);
  StepG(d, a, b, c, x[14], 9, 0xc33707d6);
  StepG(c, d, a, b, x[3], 14, 0xf4d50d87);
  StepG(b, c, d, a, x[8], 20, 0x455a14ed);
  StepG(a, b, c, d, x[13], 5, 0xa9e3e905);
  StepG(d, a, b, c, x[2], 9, 0xfcefa3f8);
  StepG(c, d, a, b, x[7], 14, 0x676f02d9);
  StepG(b, c, d, a, x[12], 20, 0x8d2a4c8a);

  Step<H>(a, b, c, d, x[5], 4, 0xfffa3942);
  Step<H>(d, a, b, c, x[8], 11, 0x8771f681);
  Step<H>(c, d, a, b, x[11], 16, 0x6d9d6122);
  Step<H>(b, c, d, a, x[14], 23, 0xfde5380c);
  Step<H>(a, b, c, d, x[1], 4, 0xa4beea44);
  Step<H>(d, a, b, c, x[4], 11, 0x4bdecfa9);
  Step<H>(c, d, a, b, x[7], 16, 0xf6bb4b60);
  Step<H>(b, c, d, a, x[10], 23, 0xbebfbc70);
  Step<H>(a, b, c, d, x[13], 4, 0x289b7ec6);
  Step<H>(d, a, b, c, x[0], 11, 0xeaa127fa);
  Step<H>(c, d, a, b, x[3], 16, 0xd4ef3085);
  Step<H>(b, c, d, a, x[6], 23, 0x04881d05);
  Step<H>(a, b, c, d, x[9], 4, 0xd9d4d039);
  Step<H>(d, a, b, c, x[12], 11, 0xe6db99e5);
  Step<H>(c, d, a, b, x[15], 16, 0x1fa27cf8);
  Step<H>(b, c, d, a, x[2], 23, 0xc4ac5665);

  Step<I>(a, b, c, d, x[0], 6, 0xf4292244);
  Step<I>(d, a, b, c, x[7], 10, 0x432aff97);
  Step<I>(c, d, a, b, x[14], 15, 0xab9423a7);
  Step<I>(b, c, d, a, x[5], 21, 0xfc93a039);
  Step<I>(a, b, c, d, x[12], 6, 0x655b59c3);
  Step<I>(d, a, b, c, x[3], 10, 0x8f0ccc92);
  Step<I>(c, d, a, b, x[10], 15, 0xffeff47d);
  Step<I>(b, c, d, a, x[1], 21, 0x85845dd1);
  Step<I>(a, b, c, d, x[8], 6, 0x6fa87e4f);
  Step<I>(d, a, b, c, x[15], 10, 0xfe2ce6e0);
  Step<I>(c, d, a, b, x[6], 15, 0xa3014314);
  Step<I>(b, c, d, a, x[13], 21, 0x4e0811a1);
  Step<I>(a, b, c, d, x[4], 6, 0xf7537e82);
  Step<I>(d, a, b, c, x[11], 10, 0xbd3af235);
  Step<I>(c, d, a, b, x[2], 15, 0x2ad7d2bb);
  Step<I>(b, c, d, a, x[9], 21, 0xeb86d391);

  chaining[0] += a;
  chaining[1] += b;
  chaining[2] += c;
  chaining[3] += d;
}

void DigestStart(DigestContext& context) {
  context.chaining = kInitialChaining;
  context.bit_count = {0, 0};
  context.buffer.fill(0);
}

void DigestAdd(DigestContext& context, const std::uint8_t* bytes, std::uint32_t count) {
  const std::uint32_t pending = (context.bit_count[0] >> 3) % kBlockBytes;

  const std::uint32_t added_bits = count << 3;
  context.bit_count[0] += added_bits;
  if (context.bit_count[0] < added_bits) ++context.bit_count[1];
  context.bit_count[1] += count >> 29;

  std::uint32_t used = 0;
  if (pending != 0) {
    const std::uint32_t room = kBlockBytes - pending;
    if (count < room) {
      std::memcpy(context.buffer.data() + pending, bytes, count);
      return;
    }
    std::memcpy(context.buffer.data() + pending, bytes, room);
    DigestBlock(context.chaining, context.buffer.data());
    used = room;
  }
  for (; count - used >= kBlockBytes; used += kBlockBytes) {
    DigestBlock(context.chaining, bytes + used);
  }
  if (used < count) std::memcpy(context.buffer.data(), bytes + used, count - used);
}

void DigestFinish(DigestContext& context, DigestBytes& digest) {
  std::uint8_t length[kLengthBytes];
  StoreLittleEndian(context.bit_count[0], length);
  StoreLittleEndian(context.bit_count[1], length + 4);

  const std::uint32_t pending = (context.bit_count[0] >> 3) % kBlockBytes;
  const std::uint32_t padding =
      pending < kLengthOffset ? kLengthOffset - pending : kBlockBytes + kLengthOffset - pending;
  DigestAdd(context, kPadding.data(), padding);
  DigestAdd(context, length, kLengthBytes);

  for (std::size_t i = 0; i < context.chaining.size(); ++i) {
    StoreLittleEndian(context.chaining[i], digest.data() + 4 * i);
  }
  ZeroBytes(&context, sizeof context);
}

DigestBytes FileDigestInViews(const std::string& path, std::uint32_t max_view_bytes) {
  DigestContext context;
  DigestStart(context);
  DigestSink sink(context);
  // A view that fails half-way leaves part of the file added: start again,
  // so that every failure gives the digest of zero bytes.
  if (!platform::ReadMappedFile(path, max_view_bytes, sink)) DigestStart(context);
  DigestBytes digest;
  DigestFinish(context, digest);
  return digest;
}

DigestBytes FileDigest(const std::string& path) { return FileDigestInViews(path, kMaxViewBytes); }

std::string DigestText(const DigestBytes& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * digest.size());
  for (const std::uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0f];
  }
  return text;
}

}  // namespace mymd5
