// POSIX side of the archive file: open and positioned reads with pread.
#include "platform/zip_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/unique_fd.h"

namespace platform::zip {

struct ArchiveFile::Handle {
  posix::UniqueFd file;
};

ArchiveFile::ArchiveFile() = default;
ArchiveFile::ArchiveFile(ArchiveFile&&) noexcept = default;
ArchiveFile& ArchiveFile::operator=(ArchiveFile&&) noexcept = default;
ArchiveFile::~ArchiveFile() = default;

bool ArchiveFile::Open(const std::string& path) {
  Close();
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  posix::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  struct stat status {};
  if (!file || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  size_ = static_cast<std::uint64_t>(status.st_size);
  handle_ = std::make_unique<Handle>(Handle{std::move(file)});
  return true;
}

void ArchiveFile::Close() {
  handle_.reset();
  size_ = 0;
}

bool ArchiveFile::ReadRange(std::uint64_t offset, char* bytes, std::size_t count) const {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t read = ::pread(handle_->file.get(), bytes + done, count - done,
                                 static_cast<off_t>(offset + done));
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) return false;
    done += static_cast<std::size_t>(read);
  }
  return true;
}

}  // namespace platform::zip
