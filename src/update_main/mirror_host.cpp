#include "update_main/mirror_host.h"

namespace update_main {

std::string MirrorHost(std::string_view base) {
  constexpr std::string_view kPrefix = "http://";
  if (base.size() > kPrefix.size() && base.substr(0, kPrefix.size()) == kPrefix) {
    base.remove_prefix(kPrefix.size());
  }
  while (!base.empty() && base.back() == '/') base.remove_suffix(1);
  return std::string(base);
}

}  // namespace update_main
