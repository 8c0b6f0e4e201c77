// The archive test and the extraction: the central directory read once, each
// entry's data found through its local header, decoded and checked, and
// every entry failure put to the prompt.
#include "platform/zip_archive.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/zip_directory.h"
#include "platform/zip_entry_data.h"
#include "platform/zip_entry_path.h"
#include "platform/zip_file.h"
#include "platform/zip_output.h"

namespace platform::zip {
namespace {

struct Directory {
  EndRecord end;
  std::vector<DirectoryEntry> entries;
};

std::optional<EndRecord> ReadEndRecord(const ArchiveFile& file, CommentFit fit) {
  const std::uint64_t tail_size = std::min(file.Size(), kEndRecordSearchBytes);
  std::string tail;
  if (!file.ReadAt(file.Size() - tail_size, static_cast<std::size_t>(tail_size), tail)) {
    throw ZipError("Cannot read the archive");
  }
  return FindEndRecord(tail, file.Size(), fit);
}

Directory ReadDirectory(const ArchiveFile& file) {
  const std::optional<EndRecord> end = ReadEndRecord(file, CommentFit::kWithinFile);
  if (!end) throw ZipError("Not a ZIP archive: no end of central directory record");
  std::string bytes;
  if (!file.ReadAt(end->directory_offset, end->directory_size, bytes)) {
    throw ZipError("Cannot read the central directory");
  }
  return Directory{*end, ParseCentralDirectory(bytes, *end)};
}

// Reads entries' data one after another through one buffer, which an
// archive of small entries would otherwise allocate for each.
class EntryReader {
 public:
  EntryReader(const ArchiveFile& file, const Directory& directory)
      : file_(file), directory_(directory) {}

  // The entry's compressed data, valid until the next call.
  std::string_view Read(const DirectoryEntry& entry) {
    std::optional<std::uint64_t> data_offset;
    if (file_.ReadAt(entry.local_header_offset, kLocalHeaderBytes, bytes_)) {
      data_offset = LocalDataOffset(bytes_, entry, directory_.end.directory_offset);
    }
    if (!data_offset || !file_.ReadAt(*data_offset, entry.compressed_size, bytes_)) {
      throw EntryError("Damaged local header");
    }
    return bytes_;
  }

 private:
  const ArchiveFile& file_;
  const Directory& directory_;
  std::string bytes_;
};

enum class Outcome { kDone, kSkipped, kAborted };

// Runs `attempt` until it succeeds or the prompt lets the entry go.
Outcome WithPrompt(EntryFailurePrompt& prompt, const std::function<void()>& attempt) {
  for (;;) {
    try {
      attempt();
      return Outcome::kDone;
    } catch (const EntryError& error) {
      switch (prompt.Ask(std::string(error.what())
                             .append(". File processing error, possibly disk is full"))) {
        case EntryAnswer::kRetry:
          continue;
        case EntryAnswer::kIgnore:
          return Outcome::kSkipped;
        case EntryAnswer::kAbort:
          return Outcome::kAborted;
      }
    }
  }
}

class DiscardSink final : public EntryDataSink {
 public:
  void Write(std::string_view) override {}
};

class FileSink final : public EntryDataSink {
 public:
  explicit FileSink(OutputFile& file) : file_(file) {}
  void Write(std::string_view bytes) override { file_.Write(bytes); }

 private:
  OutputFile& file_;
};

// The damaged archive's last chance: every entry must decode.
bool AllEntriesDecode(const ArchiveFile& file, EntryFailurePrompt& prompt) {
  const Directory directory = ReadDirectory(file);
  if (directory.entries.empty()) return false;
  EntryReader reader(file, directory);
  EntryDecoder decoder;
  bool sound = true;
  for (const DirectoryEntry& entry : directory.entries) {
    const Outcome outcome = WithPrompt(prompt, [&] {
      DiscardSink discard;
      decoder.Decode(reader.Read(entry), entry, discard);
    });
    if (outcome == Outcome::kAborted) return false;
    sound = sound && outcome == Outcome::kDone;
  }
  return sound;
}

// What one extraction keeps from entry to entry.
struct Extraction {
  EntryReader reader;
  EntryDecoder decoder;
  OutputFolder folder;
};

void ExtractEntry(Extraction& extraction, const DirectoryEntry& entry) {
  const std::string name = EntryNameToUtf8(entry.raw_name, entry.utf8_name);
  const std::optional<EntryPath> path = SafeEntryPath(name);
  if (!path) {
    throw EntryError(std::string("Refused entry \"").append(name).append("\": unsafe name"));
  }
  if (path->is_folder) {
    CreateEntryFolders(extraction.folder.base_dir, path->relative);
    return;
  }
  const std::string_view data = extraction.reader.Read(entry);
  OutputFile output(extraction.folder, path->relative);
  FileSink sink(output);
  extraction.decoder.Decode(data, entry, sink);
  output.Finish(EntryStamp{entry.dos_date, entry.dos_time, entry.host, entry.external_attributes});
}

}  // namespace

bool TestArchive(const std::string& path, EntryFailurePrompt& prompt) {
  ArchiveFile file;
  if (!file.Open(path)) return false;
  try {
    return ReadEndRecord(file, CommentFit::kExact).has_value() || AllEntriesDecode(file, prompt);
  } catch (const ZipError&) {
    return false;
  }
}

struct ZipArchive::State {
  ArchiveFile file;
  Directory directory;
};

ZipArchive::ZipArchive() = default;
ZipArchive::~ZipArchive() = default;

void ZipArchive::Open(const std::string& path) {
  Close();
  auto state = std::make_unique<State>();
  if (!state->file.Open(path)) {
    throw ZipError(std::string("Cannot open archive \"").append(path).append("\""));
  }
  state->directory = ReadDirectory(state->file);
  state_ = std::move(state);
}

void ZipArchive::ExtractFiles(const std::string& mask, const std::string& base_dir,
                              EntryFailurePrompt& prompt) {
  if (!state_) throw ZipError("No archive is open");
  // The updater only ever unpacks whole archives.
  if (mask != "*.*" && mask != "*") {
    throw ZipError(std::string("Unsupported file mask \"").append(mask).append("\""));
  }
  Extraction extraction{EntryReader(state_->file, state_->directory), EntryDecoder(),
                        MakeOutputFolder(base_dir)};
  for (const DirectoryEntry& entry : state_->directory.entries) {
    const Outcome outcome = WithPrompt(prompt, [&] { ExtractEntry(extraction, entry); });
    if (outcome == Outcome::kAborted) return;
  }
}

void ZipArchive::ExtractAllFiles(const std::string& base_dir, EntryFailurePrompt& prompt) {
  ExtractFiles("*.*", base_dir, prompt);
}

void ZipArchive::Close() { state_.reset(); }

}  // namespace platform::zip
