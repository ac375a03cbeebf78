#include "e2e/FolderWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>

namespace E2e {

namespace {

constexpr uint32_t kMask = IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE;

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void Append(const inotify_event& event, std::vector<FolderEvent>& events) {
  const std::string name = event.len > 0 ? event.name : "";
  if (event.mask & IN_CREATE) events.push_back({FolderEvent::kCreated, name});
  if (event.mask & IN_MODIFY) events.push_back({FolderEvent::kModified, name});
  if (event.mask & IN_CLOSE_WRITE) events.push_back({FolderEvent::kClosedAfterWrite, name});
  if (event.mask & IN_MOVED_TO) events.push_back({FolderEvent::kMovedIn, name});
  if (event.mask & IN_DELETE) events.push_back({FolderEvent::kDeleted, name});
}

}  // namespace

FolderWatch::FolderWatch(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ >= 0 && inotify_add_watch(fd_, folder.c_str(), kMask) < 0) {
    close(fd_);
    fd_ = -1;
  }
}

FolderWatch::~FolderWatch() {
  if (fd_ >= 0) close(fd_);
}

bool FolderWatch::Read(std::vector<FolderEvent>& events) {
  if (fd_ < 0) return false;
  alignas(inotify_event) char buffer[64 * 1024];
  bool whole = true;
  for (;;) {
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n <= 0) return whole;
    for (ssize_t at = 0; at < n;) {
      // The kernel pads each record so that the next one is aligned.
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->mask & IN_Q_OVERFLOW) whole = false;
      Append(*event, events);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

int FolderWatch::Count(const std::vector<FolderEvent>& events, FolderEvent::Kind kind, const std::string& name) {
  return static_cast<int>(std::count_if(events.begin(), events.end(),
                                        [&](const FolderEvent& e) { return e.kind == kind && e.name == name; }));
}

int FolderWatch::Count(const std::vector<FolderEvent>& events, FolderEvent::Kind kind, const std::string& prefix,
                       const std::string& suffix) {
  return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const FolderEvent& e) {
    return e.kind == kind && e.name.rfind(prefix, 0) == 0 && EndsWith(e.name, suffix);
  }));
}

}  // namespace E2e
