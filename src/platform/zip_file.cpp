// The portable part of the archive file: the bounds of every read.
#include "platform/zip_file.h"

namespace platform::zip {

bool ArchiveFile::ReadAt(std::uint64_t offset, std::size_t count, std::string& bytes) const {
  if (!handle_ || offset > size_ || count > size_ - offset) return false;
  bytes.assign(count, '\0');
  return ReadRange(offset, bytes.data(), count);
}

}  // namespace platform::zip
