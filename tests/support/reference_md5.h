// MD5 of a file computed by an implementation that is not ours: md5sum on
// Linux, the Windows CryptoAPI provider (Wine's own code under Wine).
#pragma once

#include <string>

namespace testing_support {

// Lower-case hexadecimal digest, or an empty text when the tool failed.
std::string ReferenceFileMd5(const std::string& path);

}  // namespace testing_support
