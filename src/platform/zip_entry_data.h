// An entry's data decoded and checked: stored or deflated, never more bytes
// handed on than the entry's stated size, then its size and CRC-32 compared.
#pragma once

#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

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

// Decodes the entries of an archive one after another with one inflate
// state and one output buffer: setting both up and clearing them would
// otherwise cost more than inflating an icon-sized entry.
class EntryDecoder {
 public:
  EntryDecoder();
  EntryDecoder(const EntryDecoder&) = delete;
  EntryDecoder& operator=(const EntryDecoder&) = delete;
  ~EntryDecoder();

  // Decodes `compressed`, the entry's `compressed_size` bytes of data, into
  // `sink`; throws EntryError for an encrypted entry, another method,
  // damaged data, or a size or CRC-32 other than the directory's.
  void Decode(std::string_view compressed, const DirectoryEntry& entry, EntryDataSink& sink);

 private:
  class InflateStream;
  std::unique_ptr<InflateStream> inflater_;  // made at the first deflated entry
  std::vector<char> buffer_;
};

}  // namespace platform::zip
