// The IPv4 look-up of a host name through getaddrinfo, which both systems
// offer under the same names; only the headers differ.
#include "platform/ipv4_lookup.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include <cstring>
#include <memory>

namespace platform {

namespace {

struct AddressListDeleter {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

}  // namespace

std::optional<Ipv4Address> LookUpIpv4(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  // One entry an address, instead of one for each socket type.
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* first = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &first) != 0) return std::nullopt;
  const std::unique_ptr<addrinfo, AddressListDeleter> list(first);
  for (const addrinfo* entry = list.get(); entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
    sockaddr_in found;
    std::memcpy(&found, entry->ai_addr, sizeof found);
    Ipv4Address address;
    static_assert(sizeof found.sin_addr == sizeof address.octets);
    std::memcpy(address.octets.data(), &found.sin_addr, sizeof address.octets);
    return address;
  }
  return std::nullopt;
}

}  // namespace platform
