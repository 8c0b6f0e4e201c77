// Windows side of the download file: one handle, opened without sharing so
// that nothing else reads or replaces the file while bytes arrive.
#include "platform/download_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/file_system.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"

namespace platform {

struct DownloadFile::Handle {
  win32::UniqueFileHandle file;
  // After a refused write nothing more is written, so that the file stays a
  // true beginning of the body instead of one with a hole in it.
  bool write_failed = false;
};

DownloadFile::DownloadFile(const std::string& path) : handle_(std::make_unique<Handle>()) {
  handle_->file.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle_->file) {
    throw FileError(std::string("Cannot create file \"")
                        .append(path)
                        .append("\". ")
                        .append(win32::LastErrorText()));
  }
}

DownloadFile::~DownloadFile() = default;

void DownloadFile::Append(const char* data, std::size_t size) {
  while (size > 0 && !handle_->write_failed) {
    // WriteFile counts in DWORDs; a larger block goes in pieces.
    const auto piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle_->file.get(), data, piece, &written, nullptr) || written == 0) {
      handle_->write_failed = true;
      break;
    }
    size_ += written;
    data += written;
    size -= written;
  }
}

std::uint64_t DownloadFile::Size() const { return size_; }

void DownloadFile::CutBack(std::uint64_t size) {
  if (size >= size_) return;
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(handle_->file.get(), position, nullptr, FILE_BEGIN) ||
      !SetEndOfFile(handle_->file.get())) {
    handle_->write_failed = true;
    return;
  }
  size_ = size;
}

}  // namespace platform
