#pragma once
// What happened in one folder while a phase ran, seen by the parent through inotify: the kernel
// queues the events, so they are read after the child has ended. The playthrough uses it to see
// how pref.dat is saved: a temporary beside it, written, renamed over it.

#include <filesystem>
#include <string>
#include <vector>

namespace E2e {

struct FolderEvent {
  enum Kind { kCreated, kModified, kClosedAfterWrite, kMovedIn, kDeleted };
  Kind kind;
  std::string name;
};

class FolderWatch {
 public:
  // Watches the folder, made first when missing.
  explicit FolderWatch(const std::filesystem::path& folder);
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // Every event queued since the last call, in order; false when the queue overflowed.
  bool Read(std::vector<FolderEvent>& events);
  // How many of the events were of that kind on that name, or on names starting with `prefix` and
  // ending with `suffix`.
  static int Count(const std::vector<FolderEvent>& events, FolderEvent::Kind kind, const std::string& name);
  static int Count(const std::vector<FolderEvent>& events, FolderEvent::Kind kind, const std::string& prefix,
                   const std::string& suffix);

 private:
  int fd_ = -1;
};

}  // namespace E2e
