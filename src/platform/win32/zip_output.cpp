// Windows side of the extraction output: UTF-16 paths through the W
// functions, the entry's FILE_ATTRIBUTE_* bits from an MS-DOS/Windows entry,
// its local date and time through the system's MS-DOS time conversions.
#include "platform/zip_output.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/win32/multi_byte.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/zip_entry_data.h"

namespace platform::zip {
namespace {

constexpr std::uint8_t kDosHost = 0;
// What an archive may set on a file: never the folder or device bits.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::wstring Join(const std::string& base_dir, std::string_view relative) {
  std::wstring path = win32::MultiByteToWide(base_dir, CP_ACP);
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path.push_back(L'\\');
  for (wchar_t c : win32::MultiByteToWide(relative, CP_UTF8)) path.push_back(c == L'/' ? L'\\' : c);
  return path;
}

[[noreturn]] void FailOn(const char* what, std::string_view relative) {
  throw EntryError(std::string(what).append(" \"").append(relative).append("\". ").append(
      win32::LastErrorText()));
}

}  // namespace

void MakeEntryFolder(const std::string& base_dir, std::string_view relative) {
  const std::wstring path = Join(base_dir, relative);
  if (CreateDirectoryW(path.c_str(), nullptr)) return;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return;
  }
  FailOn("Cannot create folder", relative);
}

struct OutputFile::Handle {
  std::string relative;
  std::wstring path;
  win32::UniqueFileHandle file;
  bool finished = false;
};

OutputFile::OutputFile(const std::string& base_dir, std::string_view relative)
    : handle_(std::make_unique<Handle>()) {
  CreateParentFolders(base_dir, relative);
  handle_->relative = std::string(relative);
  handle_->path = Join(base_dir, relative);
  // CREATE_ALWAYS refuses a read-only file, and one whose hidden or system
  // attribute the new one would not repeat.
  const DWORD attributes = GetFileAttributesW(handle_->path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    SetFileAttributesW(handle_->path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  handle_->file.reset(CreateFileW(handle_->path.c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle_->file) FailOn("Cannot create file", relative);
}

OutputFile::~OutputFile() {
  if (handle_->finished) return;
  handle_->file.reset();
  DeleteFileW(handle_->path.c_str());
}

void OutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const auto piece = static_cast<DWORD>(
        std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
    DWORD written = 0;
    if (!WriteFile(handle_->file.get(), bytes.data(), piece, &written, nullptr) || written == 0) {
      FailOn("Cannot write file", handle_->relative);
    }
    bytes.remove_prefix(written);
  }
}

void OutputFile::Finish(const EntryStamp& stamp) {
  if (!FlushFileBuffers(handle_->file.get())) FailOn("Cannot flush file", handle_->relative);
  FILETIME local{};
  FILETIME universal{};
  if (!DosDateTimeToFileTime(stamp.dos_date, stamp.dos_time, &local) ||
      !LocalFileTimeToFileTime(&local, &universal) ||
      !SetFileTime(handle_->file.get(), nullptr, nullptr, &universal)) {
    FailOn("Cannot set the date of", handle_->relative);
  }
  handle_->file.reset();
  if (stamp.host == kDosHost) {
    const DWORD attributes = stamp.external_attributes & 0xFF & kSettableAttributes;
    if (!SetFileAttributesW(handle_->path.c_str(),
                            attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL)) {
      FailOn("Cannot set the attributes of", handle_->relative);
    }
  }
  handle_->finished = true;
}

}  // namespace platform::zip
