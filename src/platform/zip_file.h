// The archive file as the reader needs it: opened for reading while others
// may read and write it, its size, and reads of byte ranges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::zip {

class ArchiveFile {
 public:
  // A closed file.
  ArchiveFile();
  ArchiveFile(ArchiveFile&&) noexcept;
  ArchiveFile& operator=(ArchiveFile&&) noexcept;
  ~ArchiveFile();

  // False when `path` (in the system code page) is missing, a folder, or
  // cannot be opened for reading.
  bool Open(const std::string& path);
  void Close();
  std::uint64_t Size() const { return size_; }
  // `count` bytes at `offset`, or false when the file has fewer there.
  bool ReadAt(std::uint64_t offset, std::size_t count, std::string& bytes) const;

 private:
  struct Handle;
  // The platform's read of a range that lies within the file.
  bool ReadRange(std::uint64_t offset, char* bytes, std::size_t count) const;

  std::unique_ptr<Handle> handle_;
  std::uint64_t size_ = 0;
};

}  // namespace platform::zip
