#include "platform/instance/InstanceLock.h"

#include "platform/base/LastError.h"
#include "platform/files/RegularFile.h"
#include "platform/files/XdgFolders.h"
#include "platform/instance/FolderLock.h"
#include "platform/instance/HeldLocks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace {

constexpr size_t kNoticeSize = 12;

struct NamedLock;

std::mutex gLocksLock;
std::set<NamedLock*> gLocks;

struct NamedLock : Velk::KernelObject {
  std::string base;  // the lock file and the socket are base + ".lock" and base + ".sock"
  int lockFd = -1;
  int socketFd = -1;
  bool held = false;

  ~NamedLock() override {
    std::lock_guard<std::mutex> hold(gLocksLock);
    gLocks.erase(this);
    if (socketFd >= 0) {
      // Removed while the lock is still held, so it never takes away a successor's socket.
      unlink((base + ".sock").c_str());
      close(socketFd);
    }
    if (lockFd >= 0) Velk::HeldLocks::Close(lockFd);
  }
};

// Letters, digits, '.', '_' and '-' stand as they are; anything else becomes '%' and four hex
// digits, so no name can reach outside the folder or collide with another.
std::string FileNameOf(const std::wstring& name) {
  std::string out;
  for (wchar_t c : name) {
    bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
                 c == L'-' || (c == L'.' && !out.empty());
    if (plain) {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "%%%04X", static_cast<unsigned>(c) & 0xFFFFu);
      out += escaped;
    }
  }
  return out + "-" + std::to_string(getuid());
}

bool SocketAddress(const std::string& path, sockaddr_un& address) {
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// The holder's socket; without it the lock still works, only notices cannot arrive.
int Listen(const std::string& path) {
  sockaddr_un address;
  if (!SocketAddress(path, address)) return -1;
  unlink(path.c_str());  // left behind by a holder that died
  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  chmod(path.c_str(), 0600);
  return fd;
}

void PutLittleEndian(unsigned char* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetLittleEndian(const unsigned char* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

void Send(const std::string& path, const unsigned char* notice) {
  sockaddr_un address;
  if (!SocketAddress(path, address)) return;
  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  sendto(fd, notice, kNoticeSize, MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address), sizeof address);
  close(fd);
}

void Receive(int fd, std::vector<Velk::InstanceNotice>& notices) {
  unsigned char buffer[kNoticeSize + 1];
  for (;;) {
    ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return;
    if (static_cast<size_t>(n) != kNoticeSize) continue;  // not one of ours
    notices.push_back(
        {GetLittleEndian(buffer), GetLittleEndian(buffer + 4), static_cast<LPARAM>(GetLittleEndian(buffer + 8))});
  }
}

}  // namespace

HANDLE CreateMutexW(const SECURITY_ATTRIBUTES*, BOOL, const wchar_t* name) {
  auto lock = std::make_unique<NamedLock>();
  if (name != nullptr) {
    lock->base = Velk::GetRuntimeFolder() + "/" + FileNameOf(name);
    lock->lockFd = Velk::OpenRegularFile(lock->base + ".lock", O_RDWR | O_CREAT | O_NOFOLLOW, 0600);
    if (lock->lockFd < 0) {
      const int error = errno;
      // Without the lock nothing keeps a second copy from running over the same files: the user hears of it.
      Velk::ReportLockNotMade("single-instance lock", lock->base + ".lock", error,
                              "another copy of the program is not kept from running");
      SetLastError(Velk::ErrorFromErrno(error));
      return nullptr;
    }
    lock->held = flock(lock->lockFd, LOCK_EX | LOCK_NB) == 0;
    if (lock->held) {
      Velk::HeldLocks::Keep(lock->lockFd);
      lock->socketFd = Listen(lock->base + ".sock");
    } else {
      close(lock->lockFd);
      lock->lockFd = -1;
    }
  }
  bool held = lock->held;
  {
    std::lock_guard<std::mutex> hold(gLocksLock);
    gLocks.insert(lock.get());
  }
  HANDLE handle = Velk::KernelObject::Add(std::move(lock));
  SetLastError(name == nullptr || held ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS);
  return handle;
}

namespace Velk {

void SingleInstance::NotifyRunningCopies(UINT message, WPARAM wParam, LPARAM lParam) {
  unsigned char notice[kNoticeSize];
  PutLittleEndian(notice, message);
  PutLittleEndian(notice + 4, wParam);
  PutLittleEndian(notice + 8, static_cast<uint32_t>(lParam));
  std::lock_guard<std::mutex> hold(gLocksLock);
  for (const NamedLock* lock : gLocks) {
    if (!lock->held && !lock->base.empty()) Send(lock->base + ".sock", notice);
  }
}

std::vector<InstanceNotice> SingleInstance::Poll() {
  std::vector<InstanceNotice> notices;
  std::lock_guard<std::mutex> hold(gLocksLock);
  for (const NamedLock* lock : gLocks) {
    if (lock->socketFd >= 0) Receive(lock->socketFd, notices);
  }
  return notices;
}

}  // namespace Velk
