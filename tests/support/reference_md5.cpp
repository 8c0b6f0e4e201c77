#include "support/reference_md5.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <wincrypt.h>
#endif

namespace testing_support {

#ifdef _WIN32

// Owners of the two CryptoAPI handles, released in reverse order.
struct CryptoProvider {
  HCRYPTPROV value = 0;
  CryptoProvider() = default;
  CryptoProvider(const CryptoProvider&) = delete;
  CryptoProvider& operator=(const CryptoProvider&) = delete;
  ~CryptoProvider() {
    if (value != 0) CryptReleaseContext(value, 0);
  }
};

struct CryptoHash {
  HCRYPTHASH value = 0;
  CryptoHash() = default;
  CryptoHash(const CryptoHash&) = delete;
  CryptoHash& operator=(const CryptoHash&) = delete;
  ~CryptoHash() {
    if (value != 0) CryptDestroyHash(value);
  }
};

std::string ReferenceFileMd5(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};

  CryptoProvider provider;
  CryptoHash hash;
  std::array<BYTE, 16> digest{};
  DWORD length = digest.size();
  if (!CryptAcquireContextA(&provider.value, nullptr, nullptr, PROV_RSA_FULL,
                            CRYPT_VERIFYCONTEXT) ||
      !CryptCreateHash(provider.value, CALG_MD5, 0, 0, &hash.value) ||
      !CryptHashData(hash.value, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()), 0) ||
      !CryptGetHashParam(hash.value, HP_HASHVAL, digest.data(), &length, 0)) {
    return {};
  }
  std::string text;
  char hex[3];
  for (const BYTE byte : digest) {
    std::snprintf(hex, sizeof hex, "%02x", byte);
    text += hex;
  }
  return text;
}

#else

std::string ReferenceFileMd5(const std::string& path) {
  // The tests' own paths hold no quote.
  const std::string command = "md5sum -b -- '" + path + "'";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::array<char, 33> text{};
  const std::size_t read = std::fread(text.data(), 1, 32, pipe);
  const int status = ::pclose(pipe);
  if (read != 32 || status != 0) return {};
  return std::string(text.data(), 32);
}

#endif

}  // namespace testing_support
