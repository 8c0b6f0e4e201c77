// The data that every echo request carries, the same on both systems.
#pragma once

#include <string>

namespace platform {

// `bytes` bytes (none when not positive) of a fixed text padded with spaces.
std::string EchoPayload(int bytes);

}  // namespace platform
