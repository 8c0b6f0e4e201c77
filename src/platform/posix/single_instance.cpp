// POSIX side of the single-instance guard: a Unix socket bound to a name in
// the abstract namespace, which the kernel frees when the process ends, even
// when it is killed, and which leaves no file behind.
#include "platform/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "platform/posix/unique_fd.h"

namespace platform {
namespace {

// A socket bound to `name`, or none with errno telling why.
posix::UniqueFd BindName(const std::string& name) {
  posix::UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket) return socket;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // sun_path[0] stays 0: the abstract namespace.
  const std::size_t length = std::min(name.size(), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, name.data(), length);
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
  if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), size) != 0) {
    const int error = errno;
    socket.reset();
    errno = error;
  }
  return socket;
}

}  // namespace

struct SingleInstance::Claim {
  posix::UniqueFd socket;
};

SingleInstance::SingleInstance(const std::string& name) : claim_(std::make_unique<Claim>()) {
  claim_->socket = BindName(name);
  if (!claim_->socket) another_instance_runs_ = errno == EADDRINUSE;
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::IsHeld(const std::string& name) {
  // A bind that succeeds is a claim, given up again at the end of this line;
  // a start of the updater in that instant would take the name as held.
  return !BindName(name) && errno == EADDRINUSE;
}

}  // namespace platform
