// The handler of SIGINT and SIGTERM while the window is up.
#include "platform/posix/fatal_signal_guard.h"

#include "platform/posix/terminal_mode.h"

namespace platform::posix {
namespace {

void RestoreTerminalAndReraise(int signal_number) {
  TerminalMode::RestoreFromSignal();
  // SA_RESETHAND has put the default disposition back: the signal, blocked
  // in here, ends the program once the handler returns.
  ::raise(signal_number);
}

}  // namespace

FatalSignalGuard::FatalSignalGuard() {
  struct sigaction action {};
  action.sa_handler = RestoreTerminalAndReraise;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    if (::sigaction(kSignals[i], nullptr, &previous_[i]) != 0) continue;
    const bool ignored =
        (previous_[i].sa_flags & SA_SIGINFO) == 0 && previous_[i].sa_handler == SIG_IGN;
    if (ignored) continue;
    installed_[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

void FatalSignalGuard::Reinstate() {
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    if (std::exchange(installed_[i], false)) ::sigaction(kSignals[i], &previous_[i], nullptr);
  }
}

}  // namespace platform::posix
