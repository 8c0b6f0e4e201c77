// Windows side of the archive file: CreateFileA with read and write sharing,
// positioned reads through OVERLAPPED offsets.
#include "platform/zip_file.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/win32/unique_handle.h"

namespace platform::zip {

struct ArchiveFile::Handle {
  win32::UniqueFileHandle file;
};

ArchiveFile::ArchiveFile() = default;
ArchiveFile::ArchiveFile(ArchiveFile&&) noexcept = default;
ArchiveFile& ArchiveFile::operator=(ArchiveFile&&) noexcept = default;
ArchiveFile::~ArchiveFile() = default;

bool ArchiveFile::Open(const std::string& path) {
  Close();
  win32::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
  size_ = static_cast<std::uint64_t>(size.QuadPart);
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
    const std::uint64_t at = offset + done;
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(at);
    position.OffsetHigh = static_cast<DWORD>(at >> 32);
    const DWORD piece =
        static_cast<DWORD>(std::min<std::size_t>(count - done, std::numeric_limits<DWORD>::max()));
    DWORD read = 0;
    if (!ReadFile(handle_->file.get(), bytes + done, piece, &read, &position) || read == 0) {
      return false;
    }
    done += read;
  }
  return true;
}

}  // namespace platform::zip
