// The temporary file that a download is written into: created anew or
// emptied, open for reading and writing and shared with nobody while the
// download runs, closed when its owner goes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/http_client.h"

namespace platform {

class DownloadFile final : public http::BodySink {
 public:
  // Throws FileError when the file cannot be created or emptied.
  explicit DownloadFile(const std::string& path);
  DownloadFile(const DownloadFile&) = delete;
  DownloadFile& operator=(const DownloadFile&) = delete;
  ~DownloadFile();

  // A write that fails (a full disk) leaves the file short; the digest
  // check that follows every download rejects it.
  void Append(const char* data, std::size_t size) override;
  std::uint64_t Size() const override;
  void CutBack(std::uint64_t size) override;

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
  std::uint64_t size_ = 0;
};

}  // namespace platform
