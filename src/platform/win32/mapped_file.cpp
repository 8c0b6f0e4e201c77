// Windows side of the mapped-file seam: CreateFileA, an unnamed read-only
// mapping of the whole file and views of it; every handle released on every
// way out by its owner.
#include "platform/mapped_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"

namespace platform {

bool ReadMappedFile(const std::string& path, std::uint32_t max_view_bytes,
                    MappedViewSink& sink) {
  using win32::UniqueFileHandle;
  using win32::UniqueHandle;
  using win32::UniqueMappedView;

  const UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                          nullptr));
  if (!file) return false;

  // Refused for an empty file: the platform cannot map zero bytes.
  const UniqueHandle mapping(
      CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return false;

  // The high part too: a 32-bit size would digest the wrong bytes of a file
  // of 4 GiB or more.
  DWORD size_high = 0;
  const DWORD size_low = GetFileSize(file.get(), &size_high);
  if (size_low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  const std::uint64_t size = (std::uint64_t{size_high} << 32) | size_low;

  std::uint32_t length = 0;
  for (std::uint64_t offset = 0; offset < size; offset += length) {
    length = static_cast<std::uint32_t>(std::min<std::uint64_t>(size - offset, max_view_bytes));
    const UniqueMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ,
                                              static_cast<DWORD>(offset >> 32),
                                              static_cast<DWORD>(offset), length));
    if (!view) return false;
    sink.Consume(static_cast<const std::uint8_t*>(view.get()), length);
  }
  return true;
}

}  // namespace platform
