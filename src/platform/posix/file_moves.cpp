// POSIX side of the file moves, as safe as the written-through move of the
// Windows build: the bytes are on disk before the name points at them, and
// the name is on disk before success is reported. Within one file system the
// move is a rename; across two it is a copy beside the target, renamed onto
// it, and the source's removal last, so that a failure at any point leaves
// the source in place.
#include "platform/file_moves.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"

namespace platform {
namespace {

bool SyncFile(const std::string& path) {
  const posix::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  return file && ::fsync(file.get()) == 0;
}

// A rename is on disk only once the folder that holds the name is.
bool SyncFolderOf(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
  const posix::UniqueFd handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return handle && ::fsync(handle.get()) == 0;
}

bool CopyAll(int from, int to) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!posix::WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(got)))) {
      return false;
    }
  }
}

// Writes a synced copy of `source`, with its permissions, to a new file
// beside `target`, and returns that file's name; empty when that failed, and
// then nothing is left behind.
std::string CopyBeside(const std::string& source, const std::string& target) {
  const posix::UniqueFd from(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  struct stat status {};
  if (!from || ::fstat(from.get(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
  std::string copy = std::string(target).append(".XXXXXX");
  const posix::UniqueFd to(::mkostemp(copy.data(), O_CLOEXEC));
  if (!to) return {};
  // A rename keeps the source's permissions; so must the copy.
  if (!CopyAll(from.get(), to.get()) || ::fchmod(to.get(), status.st_mode & 07777) != 0 ||
      ::fsync(to.get()) != 0) {
    ::unlink(copy.c_str());
    return {};
  }
  return copy;
}

bool MoveAcrossFileSystems(const std::string& source, const std::string& target) {
  const std::string copy = CopyBeside(source, target);
  if (copy.empty()) return false;
  if (::rename(copy.c_str(), target.c_str()) != 0) {
    ::unlink(copy.c_str());
    return false;
  }
  return SyncFolderOf(target) && ::unlink(source.c_str()) == 0;
}

}  // namespace

bool ReplaceFileWith(const std::string& source, const std::string& target) {
  if (!SyncFile(source)) return false;
  if (::rename(source.c_str(), target.c_str()) == 0) return SyncFolderOf(target);
  return errno == EXDEV && MoveAcrossFileSystems(source, target);
}

bool DeleteFileAt(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace platform
