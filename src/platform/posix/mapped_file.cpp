// POSIX side of the mapped-file seam: open, fstat and read-only views made by
// mmap with the sequential-access hint.
#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/posix/unique_fd.h"
#include "platform/posix/unique_mapping.h"

namespace platform {

bool ReadMappedFile(const std::string& path, std::uint32_t max_view_bytes,
                    MappedViewSink& sink) {
  using posix::UniqueFd;
  using posix::UniqueMapping;

  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!file) return false;

  struct stat status {};
  // Folders, devices and pipes open fine here but are no files to digest.
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  const auto size = static_cast<std::uint64_t>(status.st_size);

  std::uint32_t length = 0;
  for (std::uint64_t offset = 0; offset < size; offset += length) {
    length = static_cast<std::uint32_t>(std::min<std::uint64_t>(size - offset, max_view_bytes));
    const UniqueMapping view(::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, file.get(),
                                    static_cast<off_t>(offset)),
                             length);
    if (!view) return false;
    ::madvise(view.get(), length, MADV_SEQUENTIAL);
    sink.Consume(static_cast<const std::uint8_t*>(view.get()), length);
  }
  return true;
}

}  // namespace platform
