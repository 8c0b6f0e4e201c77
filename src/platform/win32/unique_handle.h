// Move-only owners of Win32 kernel handles. A handle kind is a pair of
// (invalid value, close function), and each pair gets a type of its own so
// that a file handle (INVALID_HANDLE_VALUE) can never be taken for a
// mapping handle (NULL).
#pragma once

#include <windows.h>

#include <utility>

namespace platform::win32 {

template <typename Traits>
class UniqueResource {
 public:
  using Value = typename Traits::Value;

  UniqueResource() = default;
  explicit UniqueResource(Value value) : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueResource() { reset(); }

  explicit operator bool() const { return value_ != Traits::Invalid(); }
  Value get() const { return value_; }

  [[nodiscard]] Value release() { return std::exchange(value_, Traits::Invalid()); }

  // Keeps the thread's last-error value, so that a failure can still be read
  // after the owner that was holding the previous value let it go.
  void reset(Value value = Traits::Invalid()) {
    const Value old = std::exchange(value_, value);
    if (old != Traits::Invalid()) {
      const DWORD last_error = GetLastError();
      Traits::Close(old);
      SetLastError(last_error);
    }
  }

 private:
  Value value_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { CloseHandle(value); }
};

struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { CloseHandle(value); }
};

struct MappedViewTraits {
  using Value = const void*;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { UnmapViewOfFile(value); }
};

// What CreateFile returns.
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
// What CreateFileMapping, CreateMutex, CreateEvent and most others return.
using UniqueHandle = UniqueResource<KernelHandleTraits>;
// What MapViewOfFile returns.
using UniqueMappedView = UniqueResource<MappedViewTraits>;

}  // namespace platform::win32
