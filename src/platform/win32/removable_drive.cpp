// Windows side of the removable-drive test: the drive type of the volume
// that holds the folder.
#include "platform/removable_drive.h"

#include <windows.h>

#include <array>

#include "platform/win32/multi_byte.h"

namespace platform {

bool IsOnRemovableDrive(const std::string& folder) {
  const std::wstring path = win32::MultiByteToWide(folder, CP_ACP);
  std::array<wchar_t, MAX_PATH + 1> root{};
  if (path.empty() ||
      !GetVolumePathNameW(path.c_str(), root.data(), static_cast<DWORD>(root.size()))) {
    return false;
  }
  return GetDriveTypeW(root.data()) == DRIVE_REMOVABLE;
}

}  // namespace platform
