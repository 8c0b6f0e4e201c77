// Windows side of the single-instance guard: a named mutex, which the system
// removes with the last process that holds a handle to it.
#include "platform/single_instance.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace platform {

struct SingleInstance::Claim {
  win32::UniqueHandle mutex;
};

SingleInstance::SingleInstance(const std::string& name) : claim_(std::make_unique<Claim>()) {
  // The last-error value tells "created" from "opened the existing one".
  SetLastError(0);
  claim_->mutex.reset(CreateMutexA(nullptr, FALSE, name.c_str()));
  another_instance_runs_ = GetLastError() == ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::IsHeld(const std::string& name) {
  const win32::UniqueHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
  // A mutex that another user's process holds exists all the same, even
  // though this one may not open it.
  return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace platform
