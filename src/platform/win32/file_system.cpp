// Windows side of the file seam, through the ANSI functions so that paths
// stay in the system code page.
#include "platform/file_system.h"

#include <windows.h>

#include <limits>

#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"

namespace platform {

std::string ExecutableFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of("\\/") + 1);
}

bool ReadWholeFile(const std::string& path, std::size_t max_bytes, std::string& bytes) {
  const win32::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > max_bytes) {
    return false;
  }
  bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size())) {
    return false;
  }
  return true;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  const win32::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    throw FileError("Cannot create file \"" + path + "\". " + win32::LastErrorText());
  }
  DWORD written = 0;
  if (bytes.size() > std::numeric_limits<DWORD>::max() ||
      !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    throw FileError("Cannot write file \"" + path + "\". " + win32::LastErrorText());
  }
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace platform
