// The host name whose reachability stands for a mirror's, derived from the
// mirror's base address.
#pragma once

#include <string>
#include <string_view>

namespace update_main {

// `base` without a leading "http://" (lower case, and only when something
// follows it) and without its trailing "/" characters. Nothing else is
// removed: a port or a path stays, and such a name does not resolve.
std::string MirrorHost(std::string_view base);

}  // namespace update_main
