// Owner of one Winsock start-up of the process: Winsock 2.2 for as long as
// the owner lives, cleaned up only if it was started here. Name look-ups
// (getaddrinfo) and sockets fail with WSANOTINITIALISED outside one, so a
// start-up that fails needs no handling of its own: what follows fails.
#pragma once

#include <winsock2.h>

namespace platform::win32 {

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  // Each successful start-up needs its own clean-up; the last one ends
  // Winsock for the process.
  ~WinsockSession() {
    if (started_) WSACleanup();
  }

 private:
  bool started_ = false;
};

}  // namespace platform::win32
