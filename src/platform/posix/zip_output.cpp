// POSIX side of the extraction output: UTF-8 paths, mode bits from a Unix
// entry's attributes, the entry's local date through mktime and futimens.
#include "platform/zip_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/posix/unique_fd.h"
#include "platform/zip_entry_data.h"

namespace platform::zip {
namespace {

constexpr std::uint8_t kUnixHost = 3;

[[noreturn]] void FailOn(const char* what, const std::string& path) {
  throw EntryError(std::string(what).append(" \"").append(path).append("\". ").append(
      std::strerror(errno)));
}

std::string Join(const std::string& base_dir, std::string_view relative) {
  std::string path = base_dir;
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path.append(relative);
}

timespec DosTimeToTimespec(std::uint16_t dos_date, std::uint16_t dos_time) {
  std::tm local{};
  local.tm_year = 80 + (dos_date >> 9);
  local.tm_mon = ((dos_date >> 5) & 0x0F) - 1;
  local.tm_mday = dos_date & 0x1F;
  local.tm_hour = dos_time >> 11;
  local.tm_min = (dos_time >> 5) & 0x3F;
  local.tm_sec = (dos_time & 0x1F) * 2;
  local.tm_isdst = -1;
  return timespec{std::mktime(&local), 0};
}

// O_EXCL: never through a link planted at the name, which would carry the
// data elsewhere, nor into another name of a hard-linked file.
int CreateNew(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

// A file already there is deleted and written anew, so that it keeps
// neither its read-only mode nor its other names. The missing folders and
// the old file are seen to only when the first try shows the need: most
// entries go into a folder that is there already, and then cost one call.
posix::UniqueFd CreateReplacing(const std::string& base_dir, std::string_view relative,
                                const std::string& path) {
  posix::UniqueFd file(CreateNew(path));
  if (!file && errno == ENOENT) {
    CreateParentFolders(base_dir, relative);
    file.reset(CreateNew(path));
  }
  if (!file && errno == EEXIST && ::unlink(path.c_str()) == 0) file.reset(CreateNew(path));
  if (!file) FailOn("Cannot create file", path);
  return file;
}

}  // namespace

void MakeEntryFolder(const std::string& base_dir, std::string_view relative) {
  const std::string path = Join(base_dir, relative);
  struct stat status {};
  if (::mkdir(path.c_str(), 0777) == 0) return;
  if (errno == EEXIST && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return;
  FailOn("Cannot create folder", path);
}

struct OutputFile::Handle {
  std::string path;
  posix::UniqueFd file;
  bool flush = false;
  bool finished = false;
};

OutputFile::OutputFile(const OutputFolder& folder, std::string_view relative)
    : handle_(std::make_unique<Handle>()) {
  handle_->path = Join(folder.base_dir, relative);
  handle_->flush = folder.flush_files;
  handle_->file = CreateReplacing(folder.base_dir, relative, handle_->path);
}

OutputFile::~OutputFile() {
  if (handle_->finished) return;
  handle_->file.reset();
  ::unlink(handle_->path.c_str());
}

void OutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(handle_->file.get(), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) FailOn("Cannot write file", handle_->path);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void OutputFile::Finish(const EntryStamp& stamp) {
  const int fd = handle_->file.get();
  if (handle_->flush && ::fsync(fd) != 0) FailOn("Cannot flush file", handle_->path);
  // Permission bits only: no set-user-ID or sticky bit from an archive.
  const auto mode = static_cast<mode_t>((stamp.external_attributes >> 16) & 0777);
  if (stamp.host == kUnixHost && mode != 0 && ::fchmod(fd, mode) != 0) {
    FailOn("Cannot set the mode of", handle_->path);
  }
  const timespec time = DosTimeToTimespec(stamp.dos_date, stamp.dos_time);
  const timespec times[2] = {time, time};
  if (::futimens(fd, times) != 0) FailOn("Cannot set the date of", handle_->path);
  if (::close(handle_->file.release()) != 0) FailOn("Cannot write file", handle_->path);
  handle_->finished = true;
}

}  // namespace platform::zip
