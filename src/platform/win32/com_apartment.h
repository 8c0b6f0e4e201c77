// Owner of this thread's COM initialisation: a single-threaded apartment for
// as long as the owner lives, given back only if it was taken here.
#pragma once

#include <objbase.h>

namespace platform::win32 {

class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  // S_FALSE (already initialised the same way) counts too: each success
  // needs its own CoUninitialize.
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

  // RPC_E_CHANGED_MODE: someone else made this thread multi-threaded, and
  // COM works in that apartment as well.
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

}  // namespace platform::win32
