// Move-only owners of what COM calls hand out: interface pointers (one
// reference each, released), BSTRs (freed), and a non-movable owner of a
// VARIANT that a call fills in (cleared).
#pragma once

#include <windows.h>
// After windows.h:
#include <oleauto.h>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

template <typename Interface>
struct ComReferenceTraits {
  using Value = Interface*;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { value->Release(); }
};

struct BstrTraits {
  using Value = BSTR;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { SysFreeString(value); }
};

// Takes over the reference that a call returned (it does not AddRef).
template <typename Interface>
using UniqueCom = UniqueResource<ComReferenceTraits<Interface>>;
using UniqueBstr = UniqueResource<BstrTraits>;

class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { VariantClear(&value_); }

  // For the one call that fills it in.
  VARIANT* out() { return &value_; }
  const VARIANT& get() const { return value_; }

 private:
  VARIANT value_;
};

}  // namespace platform::win32
