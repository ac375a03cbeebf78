#pragma once
// TCP client sockets with the shape the WinSock calls gave the transfer code: a non-blocking socket,
// a connect that may still be pending, a bounded wait for readiness, and plain send and receive.
#include "platform/base/WinTypes.h"

#include <cstdint>
#include <string>

using SOCKET = intptr_t;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;
constexpr int WSAEWOULDBLOCK = 10035;

namespace Velk {

// A TCP socket already switched to non-blocking mode, or INVALID_SOCKET.
SOCKET OpenTcpSocket();
void CloseSocket(SOCKET socket);

// The IPv4 address of a dotted address or a host name, in network byte order; false when none.
bool ResolveHostAddress(const std::string& host, uint32_t& address);

// 0 when connected, WSAEWOULDBLOCK while the connection is still being made, SOCKET_ERROR otherwise.
int ConnectSocket(SOCKET socket, uint32_t address, int port);

enum SocketReadiness { kSocketReadable = 1, kSocketWritable = 2, kSocketFailed = 4 };
// Waits at most timeoutMs for the asked readiness. Returns the ready bits (0 on a time-out);
// kSocketFailed when the wait fails, or when a pending connection has failed.
int WaitSocket(SOCKET socket, bool readable, bool writable, int timeoutMs);

// Bytes sent or received; 0 for a closed connection on receive, SOCKET_ERROR on an error.
// Sending never raises a signal on a connection the peer has closed.
int SendSocket(SOCKET socket, const char* data, int length);
int ReceiveSocket(SOCKET socket, char* data, int length);

}  // namespace Velk
