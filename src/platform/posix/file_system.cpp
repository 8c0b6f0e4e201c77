// POSIX side of the file seam.
#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/posix/unique_fd.h"

namespace platform {
namespace {

std::string ErrnoText(int error) { return std::strerror(error); }

}  // namespace

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return executable.parent_path().string() + '/';
}

bool ReadWholeFile(const std::string& path, std::size_t max_bytes, std::string& bytes) {
  const posix::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!file) return false;
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::uintmax_t>(status.st_size) > max_bytes) {
    return false;
  }
  bytes.assign(static_cast<std::size_t>(status.st_size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  const posix::UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!file) throw FileError("Cannot create file \"" + path + "\". " + ErrnoText(errno));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(file.get(), bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw FileError("Cannot write file \"" + path + "\". " + ErrnoText(errno));
    done += static_cast<std::size_t>(put);
  }
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace platform
