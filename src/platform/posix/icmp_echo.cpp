// POSIX side of the reachability test: one ICMP socket for the life of the
// test object, of the best kind the system allows.
#include "platform/icmp_echo.h"

#include <utility>

#include "platform/posix/icmp_socket.h"

namespace platform {

struct IcmpEcho::Facility {
  posix::IcmpSocket socket = posix::OpenIcmpSocket();
};

IcmpEcho::IcmpEcho(EchoSettings settings, NameLookup look_up)
    : settings_(settings), look_up_(std::move(look_up)), facility_(std::make_unique<Facility>()) {}

IcmpEcho::~IcmpEcho() = default;

int IcmpEcho::SendEcho(const Ipv4Address& address) {
  return facility_->socket.Echo(address, settings_);
}

}  // namespace platform
