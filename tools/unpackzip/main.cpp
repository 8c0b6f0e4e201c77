// unpackzip: unpacks a ZIP archive into an existing folder exactly as the
// updater unpacks its icon archive (the same archive test, reader and
// settings), so that the benchmark and a release's maintainer see what the
// updater would write. Exit code 0 when every entry was written.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/zip_archive.h"

namespace {

namespace zip = platform::zip;

// Reports each failed entry and goes on with the next, remembering the
// failure for the exit code.
class ReportingPrompt final : public zip::EntryFailurePrompt {
 public:
  zip::EntryAnswer Ask(const std::string& text) override {
    std::fprintf(stderr, "unpackzip: %s\n", text.c_str());
    failed = true;
    return zip::EntryAnswer::kIgnore;
  }

  bool failed = false;
};

bool Fail(const std::string& message) {
  std::fprintf(stderr, "unpackzip: %s\n", message.c_str());
  return false;
}

bool Unpack(const std::string& archive, const std::string& folder) {
  std::error_code error;
  // The updater never creates its target folder either.
  if (!std::filesystem::is_directory(folder, error)) {
    return Fail(std::string("no folder \"").append(folder).append("\""));
  }
  ReportingPrompt prompt;
  try {
    if (!zip::TestArchive(archive, prompt)) {
      return Fail(std::string("\"").append(archive).append("\" is no sound ZIP archive"));
    }
    zip::ZipArchive reader;
    reader.Open(archive);
    reader.ExtractAllFiles(folder, prompt);
    reader.Close();
  } catch (const std::exception& failure) {
    return Fail(failure.what());
  }
  return !prompt.failed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: unpackzip ARCHIVE FOLDER\n");
    return 2;
  }
  return Unpack(argv[1], argv[2]) ? 0 : 1;
}
