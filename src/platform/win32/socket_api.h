// The Winsock side of the few places where the socket layer's calls differ
// from BSD sockets: the handle type, the error codes, the start of Winsock,
// and the calls whose argument types differ. tcp_socket.cpp is written once
// against these.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "platform/win32/winsock_session.h"

namespace platform::net::native {

using Socket = SOCKET;
using AddressLength = int;
inline const Socket kInvalidSocket = INVALID_SOCKET;

// Winsock must be started before the first socket call or name look-up of
// the process. It is started once, on first use, and stays up until the
// process ends.
inline void StartSockets() { static const win32::WinsockSession session; }

inline Socket FromHandle(std::intptr_t handle) { return static_cast<Socket>(handle); }
inline std::intptr_t ToHandle(Socket socket) { return static_cast<std::intptr_t>(socket); }

inline int LastError() { return WSAGetLastError(); }
inline bool IsInterrupted(int error) { return error == WSAEINTR; }
inline bool IsWouldBlock(int error) { return error == WSAEWOULDBLOCK; }
inline bool IsConnectPending(int error) {
  return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS;
}
inline bool IsNotConnected(int error) { return error == WSAENOTCONN; }

// Not inheritable: the tests start child processes, which must not hold our
// connections open.
inline Socket OpenStreamSocket() {
  return WSASocketA(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
}
inline Socket AcceptConnection(Socket listener) { return ::accept(listener, nullptr, nullptr); }
inline void CloseSocket(Socket socket) { ::closesocket(socket); }

inline bool SetNonBlocking(Socket socket) {
  u_long on = 1;
  return ::ioctlsocket(socket, static_cast<long>(FIONBIO), &on) == 0;
}

inline int ClampToInt(std::size_t size) {
  return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
}
inline std::ptrdiff_t SendSome(Socket socket, const char* data, std::size_t size) {
  return ::send(socket, data, ClampToInt(size), 0);
}
inline std::ptrdiff_t ReceiveSome(Socket socket, char* data, std::size_t size) {
  return ::recv(socket, data, ClampToInt(size), 0);
}

inline int GetIntOption(Socket socket, int level, int name, int& value) {
  AddressLength length = sizeof value;
  return ::getsockopt(socket, level, name, reinterpret_cast<char*>(&value), &length);
}
inline int SetLinger(Socket socket, const linger& value) {
  return ::setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&value),
                      sizeof value);
}

// >0 ready, 0 timed out, <0 failed. Windows reports a failed connect in the
// exception set, not the write set: both are watched when writing.
inline int WaitOne(Socket socket, bool for_writing, int timeout_ms) {
  fd_set watched;
  FD_ZERO(&watched);
  FD_SET(socket, &watched);
  fd_set failed;
  FD_ZERO(&failed);
  FD_SET(socket, &failed);
  timeval timeout{};
  timeout.tv_sec = timeout_ms / 1000;
  timeout.tv_usec = (timeout_ms % 1000) * 1000;
  return for_writing ? ::select(0, nullptr, &watched, &failed, &timeout)
                     : ::select(0, &watched, nullptr, nullptr, &timeout);
}

}  // namespace platform::net::native
