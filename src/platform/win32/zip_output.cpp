// Windows side of the extraction output: UTF-16 paths through the W
// functions, in the "\\?\" form past MAX_PATH, the entry's FILE_ATTRIBUTE_*
// bits from an MS-DOS/Windows entry, its local date and time through the
// system's MS-DOS time conversions.
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

// CreateDirectoryW takes at most this many characters without the "\\?\"
// prefix, the other calls MAX_PATH.
constexpr std::size_t kLongestPlainPath = MAX_PATH - 12;

// A path too long for the plain form, as the absolute "\\?\" form that the W
// functions take up to 32,767 characters. Shorter paths keep the plain form,
// with the system's usual reading of trailing dots and spaces.
std::wstring ExtendedLengthPath(std::wstring path) {
  if (path.size() < kLongestPlainPath || path.starts_with(L"\\\\?\\")) return path;
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  if (full.starts_with(L"\\\\")) return std::wstring(L"\\\\?\\UNC\\").append(full, 2);
  return std::wstring(L"\\\\?\\").append(full);
}

std::wstring Join(const std::string& base_dir, std::string_view relative) {
  std::wstring path = win32::MultiByteToWide(base_dir, CP_ACP);
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path.push_back(L'\\');
  for (wchar_t c : win32::MultiByteToWide(relative, CP_UTF8)) path.push_back(c == L'/' ? L'\\' : c);
  return ExtendedLengthPath(std::move(path));
}

[[noreturn]] void FailOn(const char* what, std::string_view relative) {
  throw EntryError(std::string(what).append(" \"").append(relative).append("\". ").append(
      win32::LastErrorText()));
}

HANDLE CreateAlways(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

bool ClearAttributes(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The missing folders and an old file's attributes are seen to only when
// the first try shows the need: most entries go into a folder that is there
// already, and then cost one call.
win32::UniqueFileHandle CreateReplacing(const std::string& base_dir, std::string_view relative,
                                        const std::wstring& path) {
  win32::UniqueFileHandle file(CreateAlways(path));
  if (!file && GetLastError() == ERROR_PATH_NOT_FOUND) {
    CreateParentFolders(base_dir, relative);
    file.reset(CreateAlways(path));
  }
  // CREATE_ALWAYS refuses a read-only file, and one whose hidden or system
  // attribute the new one would not repeat.
  if (!file && GetLastError() == ERROR_ACCESS_DENIED && ClearAttributes(path)) {
    file.reset(CreateAlways(path));
  }
  if (!file) FailOn("Cannot create file", relative);
  return file;
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
  bool flush = false;
  bool finished = false;
};

OutputFile::OutputFile(const OutputFolder& folder, std::string_view relative)
    : handle_(std::make_unique<Handle>()) {
  handle_->relative = std::string(relative);
  handle_->path = Join(folder.base_dir, relative);
  handle_->flush = folder.flush_files;
  handle_->file = CreateReplacing(folder.base_dir, relative, handle_->path);
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
  if (handle_->flush && !FlushFileBuffers(handle_->file.get())) {
    FailOn("Cannot flush file", handle_->relative);
  }
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
