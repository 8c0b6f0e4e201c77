// Move-only owner of a region made by mmap.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <utility>

namespace platform::posix {

class UniqueMapping {
 public:
  UniqueMapping() = default;
  UniqueMapping(void* address, std::size_t length) : address_(address), length_(length) {}
  UniqueMapping(const UniqueMapping&) = delete;
  UniqueMapping& operator=(const UniqueMapping&) = delete;
  UniqueMapping(UniqueMapping&& other) noexcept
      : address_(std::exchange(other.address_, MAP_FAILED)),
        length_(std::exchange(other.length_, 0)) {}
  UniqueMapping& operator=(UniqueMapping&& other) noexcept {
    if (this != &other) {
      reset();
      address_ = std::exchange(other.address_, MAP_FAILED);
      length_ = std::exchange(other.length_, 0);
    }
    return *this;
  }
  ~UniqueMapping() { reset(); }

  explicit operator bool() const { return address_ != MAP_FAILED; }
  void* get() const { return address_; }
  std::size_t length() const { return length_; }

  void reset() {
    if (address_ != MAP_FAILED) ::munmap(address_, length_);
    address_ = MAP_FAILED;
    length_ = 0;
  }

 private:
  void* address_ = MAP_FAILED;
  std::size_t length_ = 0;
};

}  // namespace platform::posix
