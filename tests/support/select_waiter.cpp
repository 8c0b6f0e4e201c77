#include "support/select_waiter.h"

#include <algorithm>

#include "platform/tcp_socket.h"

namespace testing_support {

SelectWaiter::Outcome SelectWaiter::WaitForSocket(std::intptr_t socket, bool for_writing,
                                                  std::chrono::milliseconds at_most) {
  ++calls_;
  longest_pass_ = std::max(longest_pass_, at_most);
  if (terminated_) return Outcome::kTerminated;
  if (platform::net::WaitForSocket(socket, for_writing, at_most)) return Outcome::kReady;
  terminated_ = terminate_when_idle_;
  return terminated_ ? Outcome::kTerminated : Outcome::kTimedOut;
}

}  // namespace testing_support
