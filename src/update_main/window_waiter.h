// How the run's fetches wait: on the window's message loop, so that the
// window repaints and its controls work while a mirror answers, and not at
// all once the program has been asked to end.
#pragma once

#include "platform/http_client.h"
#include "platform/ui.h"

namespace update_main {

class WindowWaiter final : public platform::http::Waiter {
 public:
  explicit WindowWaiter(platform::ui::Application& application) : application_(application) {}

  Outcome WaitForSocket(std::intptr_t socket, bool for_writing,
                        std::chrono::milliseconds at_most) override {
    if (application_.Terminated()) return Outcome::kTerminated;
    const bool ready = application_.WaitForSocket(socket, for_writing, at_most);
    if (application_.Terminated()) return Outcome::kTerminated;
    return ready ? Outcome::kReady : Outcome::kTimedOut;
  }

 private:
  platform::ui::Application& application_;
};

}  // namespace update_main
