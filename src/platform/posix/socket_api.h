// The BSD-socket side of the few places where the socket layer's calls
// differ from Winsock's: the handle type, the error codes, and the calls
// whose argument types differ. tcp_socket.cpp is written once against these.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace platform::net::native {

using Socket = int;
using AddressLength = socklen_t;
inline constexpr Socket kInvalidSocket = -1;

// Nothing to start on this side.
inline void StartSockets() {}

inline Socket FromHandle(std::intptr_t handle) { return static_cast<Socket>(handle); }
inline std::intptr_t ToHandle(Socket socket) { return socket; }

inline int LastError() { return errno; }
inline bool IsInterrupted(int error) { return error == EINTR; }
inline bool IsWouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }
// An interrupted connect goes on in the background, as a pending one does.
inline bool IsConnectPending(int error) { return error == EINPROGRESS || error == EINTR; }
inline bool IsNotConnected(int error) { return error == ENOTCONN; }

// CLOEXEC: the tests start child processes, which must not hold our
// connections open.
inline Socket OpenStreamSocket() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }
inline Socket AcceptConnection(Socket listener) {
  return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}
inline void CloseSocket(Socket socket) { ::close(socket); }

inline bool SetNonBlocking(Socket socket) {
  const int flags = ::fcntl(socket, F_GETFL);
  return flags >= 0 && ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) == 0;
}

// MSG_NOSIGNAL: a peer that has gone must give an error, not SIGPIPE.
inline std::ptrdiff_t SendSome(Socket socket, const char* data, std::size_t size) {
  return ::send(socket, data, size, MSG_NOSIGNAL);
}
inline std::ptrdiff_t ReceiveSome(Socket socket, char* data, std::size_t size) {
  return ::recv(socket, data, size, 0);
}

inline int GetIntOption(Socket socket, int level, int name, int& value) {
  AddressLength length = sizeof value;
  return ::getsockopt(socket, level, name, &value, &length);
}
inline int SetLinger(Socket socket, const linger& value) {
  return ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &value, sizeof value);
}

// >0 ready, 0 timed out, <0 failed. poll, not select: a descriptor number
// above FD_SETSIZE must not matter. A failed connect reports POLLERR, which
// counts as ready.
inline int WaitOne(Socket socket, bool for_writing, int timeout_ms) {
  pollfd entry{};
  entry.fd = socket;
  entry.events = for_writing ? POLLOUT : POLLIN;
  return ::poll(&entry, 1, timeout_ms);
}

}  // namespace platform::net::native
