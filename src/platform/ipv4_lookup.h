// The system resolver's answer for a host name, reduced to the one IPv4
// address that the reachability test sends to.
#pragma once

#include <optional>
#include <string>

#include "platform/ipv4_address.h"

namespace platform {

// The first IPv4 address the system gives for `name`; none when it gives none
// or the name cannot be one (empty, or holding a NUL that would cut it short).
// On Windows only while a Winsock session is open in the process.
std::optional<Ipv4Address> LookUpIpv4(const std::string& name);

}  // namespace platform
