#include "platform/backend/Backend.h"

#include "platform/window/MessageQueue.h"
#include "platform/window/WindowTable.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace Velk {

namespace {

// Never destroyed: at exit the display may be gone already, and nothing may call into it then.
std::unique_ptr<Backend>& Current() {
  static auto* backend = new std::unique_ptr<Backend>();
  return *backend;
}

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

Backend* Existing() {
  std::lock_guard guard(Lock());
  return Current().get();
}

}  // namespace

Backend::Backend() {
  static std::atomic<uint64_t> made{0};
  serial_ = ++made;
}

// A name of none is no name.
std::unique_ptr<Backend> Backend::FromEnvironment() {
  const std::span<const BackendRow> rows = BackendRows();
  const char* chosen = std::getenv("VELK_BACKEND");
  const auto named = std::find_if(rows.begin(), rows.end(),
                                  [&](const BackendRow& row) { return chosen && std::strcmp(chosen, row.name) == 0; });
  if (chosen && *chosen && named == rows.end()) {
    std::fprintf(stderr, "VELK_BACKEND=%s names no back end; running %s\n", chosen, rows.front().name);
  }
  std::unique_ptr<Backend> backend = (named == rows.end() ? rows.front() : *named).make();
  backend->byName_ = named != rows.end();
  return backend;
}

// Only a back end asked for by name may run where nobody sees it.
void Backend::EndUnlessSeen(const Backend& backend) {
  const std::string unseen = backend.CannotShow(backend.byName_);
  if (unseen.empty()) return;
  // Before any window or file of the program: nothing to close; its crash reporter ends with it.
  std::fprintf(stderr, "%s\n", unseen.c_str());
  std::fflush(nullptr);
  _exit(1);
}

Backend& Backend::Get() {
  if (Backend* backend = Existing()) return *backend;
  // Made under a lock of its own, not the one every call takes: the display library holds locks of
  // its own while it starts, and its lost-connection handler comes back here for the back end.
  static std::mutex making;
  std::lock_guard guard(making);
  if (Backend* backend = Existing()) return *backend;
  std::unique_ptr<Backend> made = FromEnvironment();
  std::lock_guard install(Lock());
  Current() = std::move(made);
  return *Current();
}

void Backend::Install(std::unique_ptr<Backend> backend) {
  // Windows of the old back end go with it; their procedures are not called again.
  WindowTable::Instance().Clear();
  MessageQueue::Instance().Clear();
  {
    std::lock_guard guard(Lock());
    Current().swap(backend);
  }
  // The old back end is shut down outside the lock, as it was made outside it.
}

}  // namespace Velk
