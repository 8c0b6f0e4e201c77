// A Waiter for tests: it waits on the socket with no messages to dispatch,
// counts its passes, and can play a program that is asked to end.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/http_client.h"

namespace testing_support {

class SelectWaiter final : public platform::http::Waiter {
 public:
  Outcome WaitForSocket(std::intptr_t socket, bool for_writing,
                        std::chrono::milliseconds at_most) override;

  int calls() const { return calls_; }
  // The longest `at_most` that any pass was given.
  std::chrono::milliseconds longest_pass() const { return longest_pass_; }
  // From the first pass in which nothing happens on, reports kTerminated:
  // the program is asked to end while a fetch waits.
  void TerminateWhenIdle() { terminate_when_idle_ = true; }

 private:
  int calls_ = 0;
  bool terminate_when_idle_ = false;
  bool terminated_ = false;
  std::chrono::milliseconds longest_pass_{0};
};

}  // namespace testing_support
