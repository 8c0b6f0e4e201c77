// The ZIP reader through which the icon archive is tested and unpacked:
// stored and deflated entries (zlib's raw inflate), every entry checked
// against its size and CRC-32, never written outside the target folder.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace platform::zip {

// A failure of the archive as a whole: it cannot be opened or read, or an
// extraction failed other than in one entry.
class ZipError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the user answers for an entry that failed.
enum class EntryAnswer { kAbort, kRetry, kIgnore };

class EntryFailurePrompt {
 public:
  // `text`: the entry's error, then ". File processing error, possibly disk
  // is full".
  virtual EntryAnswer Ask(const std::string& text) = 0;

 protected:
  ~EntryFailurePrompt() = default;
};

// The system's modal box with Abort, Retry and Ignore; on Linux, the text on
// the error output and the answer Ignore.
EntryFailurePrompt& SystemPrompt();

// True when `path` is a sound archive: an end-of-central-directory record
// whose comment reaches exactly to the end of the file, in its last 65,600
// bytes; otherwise a readable central directory with at least one entry
// whose entries all decompress (failures going to `prompt`).
bool TestArchive(const std::string& path, EntryFailurePrompt& prompt);

class ZipArchive {
 public:
  ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;
  ~ZipArchive();

  // Opens the archive and reads its central directory; throws ZipError.
  void Open(const std::string& path);
  // Writes every entry under `base_dir` (in the system code page): `mask`
  // must be "*.*" or "*", all entries, the one case the updater has. Creates
  // folders at any depth, replaces existing and read-only files, with the
  // entry's attributes, date and time, each flushed to disk when `base_dir`
  // lies on a removable drive. An entry whose name could reach outside
  // `base_dir` fails like a damaged one. A failed entry's file is deleted
  // and `prompt` decides: retry it, skip it, or end the extraction (which
  // still returns normally). Throws ZipError for any other failure.
  void ExtractFiles(const std::string& mask, const std::string& base_dir,
                    EntryFailurePrompt& prompt);
  // ExtractFiles with the mask "*.*": the one extraction the updater makes,
  // so that every caller unpacks an archive alike.
  void ExtractAllFiles(const std::string& base_dir, EntryFailurePrompt& prompt);
  void Close();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform::zip
