// Windows side of the reachability test: the ICMP handle of the IP helper
// API, one IcmpSendEcho a test, and the Winsock session that name look-ups
// need for as long as the test object lives.
#include "platform/icmp_echo.h"

// Not sorted: icmpapi.h includes nothing itself and needs the IP helper's
// types, which need Winsock and windows.h before them.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/icmp_echo_payload.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/winsock_session.h"

namespace platform {

namespace {

struct IcmpHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { IcmpCloseHandle(value); }
};
// What IcmpCreateFile returns: CloseHandle must not be used on it.
using UniqueIcmpHandle = win32::UniqueResource<IcmpHandleTraits>;

// IcmpSendEcho wants room for one reply with the data it echoes, for the 8
// bytes of an ICMP error, and for the IO_STATUS_BLOCK it uses internally.
constexpr std::size_t kIcmpErrorBytes = 8;
constexpr std::size_t kStatusBlockBytes = 2 * sizeof(void*);

}  // namespace

struct IcmpEcho::Facility {
  // First: the handle is opened within the session.
  win32::WinsockSession winsock;
  UniqueIcmpHandle handle{IcmpCreateFile()};
};

IcmpEcho::IcmpEcho(EchoSettings settings, NameLookup look_up)
    : settings_(settings), look_up_(std::move(look_up)), facility_(std::make_unique<Facility>()) {}

IcmpEcho::~IcmpEcho() = default;

int IcmpEcho::SendEcho(const Ipv4Address& address) {
  if (!facility_->handle) return 0;
  std::string payload = EchoPayload(settings_.data_bytes);
  IP_OPTION_INFORMATION options{};
  options.Ttl = static_cast<UCHAR>(std::clamp(settings_.time_to_live, 1, 255));
  std::vector<unsigned char> reply(sizeof(ICMP_ECHO_REPLY) + payload.size() + kIcmpErrorBytes +
                                   kStatusBlockBytes);
  IPAddr destination;
  static_assert(sizeof destination == sizeof address.octets);
  std::memcpy(&destination, address.octets.data(), sizeof destination);
  const auto timeout = static_cast<DWORD>(std::clamp<std::chrono::milliseconds::rep>(
      settings_.timeout.count(), 0, std::numeric_limits<DWORD>::max()));
  return static_cast<int>(IcmpSendEcho(facility_->handle.get(), destination, payload.data(),
                                       static_cast<WORD>(payload.size()), &options, reply.data(),
                                       static_cast<DWORD>(reply.size()), timeout));
}

}  // namespace platform
