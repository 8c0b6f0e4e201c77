// Read-only access to the bytes of a whole file through memory mappings, so
// that a caller can consume a file of any size without copying it.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class MappedViewSink {
 public:
  // Called with consecutive pieces of the file, in order, each straight from
  // a mapped view that stays valid only during the call.
  virtual void Consume(const std::uint8_t* bytes, std::uint32_t count) = 0;

 protected:
  ~MappedViewSink() = default;
};

// Every view except the last is exactly the requested size and starts at a
// multiple of it, so requested sizes must be multiples of this.
inline constexpr std::uint32_t kViewGranularity = 64 * 1024;

// Opens `path` for reading while letting other programs read and write it,
// with the sequential-scan hint, and hands its content to `sink` in views of
// at most `max_view_bytes`. Returns false when the file cannot be opened or
// mapped (a folder, a missing file, one that another program holds without
// read sharing); `sink` may then have received a leading part of the file.
// An empty file either succeeds with no call to `sink` or fails, by platform.
bool ReadMappedFile(const std::string& path, std::uint32_t max_view_bytes,
                    MappedViewSink& sink);

}  // namespace platform
