// filedigest: prints the digest that the updater compares with a mirror's
// answer, for each file named, in the form of md5sum ("<digest>  <path>").
// Mirror operators use it to publish a release; the demo and the benchmark
// use it to show the updater's digests beside other tools'.
#include <cstdio>

#include "mymd5/mymd5.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: filedigest FILE...\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    const std::string text = mymd5::DigestText(mymd5::FileDigest(argv[i]));
    std::printf("%s  %s\n", text.c_str(), argv[i]);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
