// An entry's data decoded and checked: stored or deflated, never more bytes
// handed on than the entry's stated size, then its size and CRC-32 compared.
#pragma once

#include <stdexcept>
#include <string_view>

#include "platform/zip_directory.h"

namespace platform::zip {

// A fault of one entry, which the prompt may retry or skip; what() names it.
class EntryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EntryDataSink {
 public:
  virtual void Write(std::string_view bytes) = 0;

 protected:
  ~EntryDataSink() = default;
};

// Decodes `compressed`, the entry's `compressed_size` bytes of data, into
// `sink`; throws EntryError for an encrypted entry, another method, damaged
// data, or a size or CRC-32 other than the directory's.
void DecodeEntryData(std::string_view compressed, const DirectoryEntry& entry,
                     EntryDataSink& sink);

}  // namespace platform::zip
