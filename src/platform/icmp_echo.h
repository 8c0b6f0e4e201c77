// The reachability test of a mirror's host: one ICMP echo request and the
// count of replies.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ipv4_address.h"

namespace platform {

struct EchoSettings {
  int data_bytes = 56;
  int time_to_live = 64;
  std::chrono::milliseconds timeout{4000};
};

// Where a host name's address comes from: the system's resolver, or a test's.
using NameLookup = std::function<std::optional<Ipv4Address>(const std::string& name)>;

class IcmpEcho {
 public:
  // Opens the system's echo facility; a facility that cannot be opened
  // makes every host unreachable. Names go to the system's resolver.
  explicit IcmpEcho(EchoSettings settings = {});
  IcmpEcho(EchoSettings settings, NameLookup look_up);
  IcmpEcho(const IcmpEcho&) = delete;
  IcmpEcho& operator=(const IcmpEcho&) = delete;
  ~IcmpEcho();

  // Sends one echo request to `host` (a dotted IPv4 address as it is, a
  // name resolved to its first IPv4 address, kept while the name does not
  // change) and returns the number of replies within the timeout; 0 for an
  // empty host or a name that does not resolve, without sending anything.
  // A failed look-up is not kept: the same name is looked up again next
  // time. Blocks.
  int Ping(const std::string& host);

 private:
  // The system's part, one for each platform, as is SendEcho.
  struct Facility;
  int SendEcho(const Ipv4Address& address);

  EchoSettings settings_;
  NameLookup look_up_;
  std::unique_ptr<Facility> facility_;
  // Empty while no name is kept.
  std::string resolved_name_;
  Ipv4Address resolved_address_;
};

}  // namespace platform
