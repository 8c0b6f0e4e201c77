// POSIX side of the download file: one descriptor. There is no share mode to
// keep others out, and the updater's folder is its own, so none is taken.
#include "platform/download_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/file_system.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"

namespace platform {

struct DownloadFile::Handle {
  posix::UniqueFd file;
  // After a refused write nothing more is written, so that the file stays a
  // true beginning of the body instead of one with a hole in it.
  bool write_failed = false;
};

DownloadFile::DownloadFile(const std::string& path) : handle_(std::make_unique<Handle>()) {
  handle_->file.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!handle_->file) {
    throw FileError(std::string("Cannot create file \"")
                        .append(path)
                        .append("\". ")
                        .append(std::strerror(errno)));
  }
}

DownloadFile::~DownloadFile() = default;

void DownloadFile::Append(const char* data, std::size_t size) {
  if (handle_->write_failed) return;
  if (posix::WriteAll(handle_->file.get(), std::string_view(data, size))) {
    size_ += size;
    return;
  }
  handle_->write_failed = true;
  // Part of the block may have gone in before the refusal: the file's
  // position says how much.
  const off_t position = ::lseek(handle_->file.get(), 0, SEEK_CUR);
  if (position >= 0) size_ = static_cast<std::uint64_t>(position);
}

std::uint64_t DownloadFile::Size() const { return size_; }

void DownloadFile::CutBack(std::uint64_t size) {
  if (size >= size_) return;
  const auto length = static_cast<off_t>(size);
  if (::ftruncate(handle_->file.get(), length) != 0 ||
      ::lseek(handle_->file.get(), length, SEEK_SET) != length) {
    handle_->write_failed = true;
    return;
  }
  size_ = size;
}

}  // namespace platform
