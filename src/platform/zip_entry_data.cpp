// Stored and deflated data through zlib's raw inflate, in pieces of a fixed
// buffer, so that a small archive cannot make the reader allocate or write
// what its data inflates to.
#include "platform/zip_entry_data.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace platform::zip {
namespace {

constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::size_t kOutputBufferBytes = 64 * 1024;

// Counts and checksums what reaches the sink, refusing anything past the
// stated size before it is written.
class CheckedOutput {
 public:
  CheckedOutput(const DirectoryEntry& entry, EntryDataSink& sink) : entry_(entry), sink_(sink) {}

  void Write(std::string_view bytes) {
    if (bytes.size() > entry_.uncompressed_size - size_) {
      throw EntryError("Entry data is larger than its stated size");
    }
    size_ += static_cast<std::uint32_t>(bytes.size());
    crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(bytes.data()),
                 static_cast<uInt>(bytes.size()));
    sink_.Write(bytes);
  }

  void Finish() const {
    if (size_ != entry_.uncompressed_size) {
      throw EntryError("Entry data is smaller than its stated size");
    }
    if (crc_ != entry_.crc32) throw EntryError("CRC-32 mismatch");
  }

 private:
  const DirectoryEntry& entry_;
  EntryDataSink& sink_;
  std::uint32_t size_ = 0;
  uLong crc_ = crc32(0, nullptr, 0);
};

}  // namespace

// The one owner of a raw inflate stream. Neither copied nor moved: zlib's
// state points back at the z_stream.
class EntryDecoder::InflateStream {
 public:
  InflateStream() {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) throw EntryError("Cannot start inflating");
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
  ~InflateStream() { inflateEnd(&stream_); }

  // The stream as new, for the next entry, keeping its memory. inflateReset
  // leaves the input alone: what the last entry left unread must not be
  // taken for this one's.
  z_stream& Reset() {
    if (inflateReset(&stream_) != Z_OK) throw EntryError("Cannot start inflating");
    stream_.next_in = nullptr;
    stream_.avail_in = 0;
    return stream_;
  }

 private:
  z_stream stream_{};
};

EntryDecoder::EntryDecoder() = default;
EntryDecoder::~EntryDecoder() = default;

void EntryDecoder::Decode(std::string_view compressed, const DirectoryEntry& entry,
                          EntryDataSink& sink) {
  if (entry.encrypted) throw EntryError("Encrypted entries are not supported");
  CheckedOutput output(entry, sink);
  if (entry.method == kStored) {
    output.Write(compressed);
    output.Finish();
    return;
  }
  if (entry.method != kDeflated) {
    throw EntryError(std::string("Unsupported compression method ")
                         .append(std::to_string(entry.method)));
  }
  if (!inflater_) {
    inflater_ = std::make_unique<InflateStream>();
    buffer_.resize(kOutputBufferBytes);
  }
  z_stream& stream = inflater_->Reset();
  std::string_view input = compressed;
  for (;;) {
    if (stream.avail_in == 0 && !input.empty()) {
      const std::size_t piece = std::min<std::size_t>(input.size(), std::numeric_limits<uInt>::max());
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
      stream.avail_in = static_cast<uInt>(piece);
      input.remove_prefix(piece);
    }
    stream.next_out = reinterpret_cast<Bytef*>(buffer_.data());
    stream.avail_out = static_cast<uInt>(buffer_.size());
    const int status = inflate(&stream, Z_NO_FLUSH);
    output.Write(std::string_view(buffer_.data(), buffer_.size() - stream.avail_out));
    if (status == Z_STREAM_END) break;
    if (status != Z_OK) throw EntryError("Damaged compressed data");
    if (stream.avail_in == 0 && input.empty() && stream.avail_out != 0) {
      throw EntryError("Compressed data ends early");
    }
  }
  output.Finish();
}

}  // namespace platform::zip
