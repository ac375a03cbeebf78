#include "platform/sockets/Sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Velk {

SOCKET OpenTcpSocket() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) return INVALID_SOCKET;
  int flags = ::fcntl(fd, F_GETFL, 0);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
    ::close(fd);
    return INVALID_SOCKET;
  }
  return fd;
}

void CloseSocket(SOCKET socket) {
  if (socket != INVALID_SOCKET) ::close(static_cast<int>(socket));
}

bool ResolveHostAddress(const std::string& host, uint32_t& address) {
  in_addr dotted{};
  if (::inet_pton(AF_INET, host.c_str(), &dotted) == 1) {
    address = dotted.s_addr;
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  ::freeaddrinfo(found);
  return true;
}

int ConnectSocket(SOCKET socket, uint32_t address, int port) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(static_cast<uint16_t>(port));
  target.sin_addr.s_addr = address;
  if (::connect(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&target), sizeof target) == 0) return 0;
  return errno == EINPROGRESS || errno == EAGAIN ? WSAEWOULDBLOCK : SOCKET_ERROR;
}

int WaitSocket(SOCKET socket, bool readable, bool writable, int timeoutMs) {
  pollfd entry{static_cast<int>(socket), static_cast<short>((readable ? POLLIN : 0) | (writable ? POLLOUT : 0)), 0};
  int count = ::poll(&entry, 1, timeoutMs);
  if (count < 0) return errno == EINTR ? 0 : kSocketFailed;
  if (count == 0) return 0;
  int ready = 0;
  // A refused or reset connection shows as an error condition; a peer that merely closed is
  // readable (the receive then returns 0).
  if (entry.revents & (POLLERR | POLLNVAL)) return kSocketFailed;
  if (entry.revents & (POLLIN | POLLHUP)) ready |= kSocketReadable;
  if (entry.revents & POLLOUT) ready |= kSocketWritable;
  if (writable && (ready & kSocketWritable)) {
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
      return kSocketFailed;
  }
  return ready;
}

int SendSocket(SOCKET socket, const char* data, int length) {
  ssize_t sent = ::send(static_cast<int>(socket), data, static_cast<size_t>(length), MSG_NOSIGNAL);
  if (sent < 0) return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : SOCKET_ERROR;
  return static_cast<int>(sent);
}

int ReceiveSocket(SOCKET socket, char* data, int length) {
  ssize_t got = ::recv(static_cast<int>(socket), data, static_cast<size_t>(length), 0);
  if (got < 0) return SOCKET_ERROR;
  return static_cast<int>(got);
}

}  // namespace Velk
