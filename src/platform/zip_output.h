// Where extracted entries go: folders at any depth under the target folder,
// and one file at a time, replaced even when read-only, with the entry's
// attributes and date, and flushed to disk only when the target folder lies
// on a removable drive. Each platform implements it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform::zip {

// What an entry says about its file beyond the data.
struct EntryStamp {
  std::uint16_t dos_date = 0;
  std::uint16_t dos_time = 0;  // local time
  std::uint8_t host = 0;       // 0: MS-DOS/Windows, 3: Unix
  std::uint32_t external_attributes = 0;
};

// The target folder of one extraction and what is decided once for all its
// files. Flushing a file waits for the disk; that pays only on a drive that
// may be pulled out as soon as the run ends.
struct OutputFolder {
  std::string base_dir;  // in the system code page
  bool flush_files = false;
};

OutputFolder MakeOutputFolder(const std::string& base_dir);

// `base_dir` is in the system code page, `relative` a safe entry path in
// UTF-8 with '/' separators. Failures throw EntryError.
void CreateEntryFolders(const std::string& base_dir, std::string_view relative);
// The platform's part: one folder whose parent exists; an existing folder is
// fine.
void MakeEntryFolder(const std::string& base_dir, std::string_view relative);
// The folders on the way to the file `relative`.
void CreateParentFolders(const std::string& base_dir, std::string_view relative);

// A file being written. Unless Finish() succeeded, the destructor deletes it,
// so that a failed entry leaves nothing behind.
class OutputFile {
 public:
  // Creates the file, replacing any file there, and the folders on the way
  // that are missing.
  OutputFile(const OutputFolder& folder, std::string_view relative);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  void Write(std::string_view bytes);
  // Flushes when the folder says so, closes and stamps the file.
  void Finish(const EntryStamp& stamp);

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

}  // namespace platform::zip
