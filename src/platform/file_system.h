// The file operations that the window and the run need beyond the digest:
// the program's own folder, whole-file reads and writes, and the read-only
// attribute. Paths are 8-bit texts handed to the platform unchanged (the
// system code page on Windows).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace platform {

// A file operation the platform refused; what() is the text for the error box.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The folder of the running executable, with its trailing separator.
std::string ExecutableFolder();

// Reads the whole file into `bytes`. False when it cannot be opened or read,
// or holds more than `max_bytes`.
bool ReadWholeFile(const std::string& path, std::size_t max_bytes, std::string& bytes);

// Creates or empties the file and writes `bytes`. Throws FileError, whose
// text names the file and the system's reason, when that fails.
void WriteWholeFile(const std::string& path, const std::string& bytes);

// True when the file exists and is marked read-only: the read-only attribute
// on Windows, no write permission bit at all elsewhere (whoever the user is,
// root included).
bool IsReadOnlyFile(const std::string& path);

}  // namespace platform
