#pragma once
// A call may show its window from a process it forks (the toolkit's message box does, to keep its
// locale and display state to itself) and wait for that process. Such a process would outlive a
// program that ended meanwhile, and a close signal would leave the call waiting for ever. While a
// ForkWatch lives, every process the thread that made it forks ends with the program, takes the
// termination signals as a plain process does, and is ended once a close signal comes, so that the
// call returns as if its window were closed and the close goes on. The thread that made it keeps
// the close signals out meanwhile: the watch takes them.

#include <thread>

namespace Velk {

class ForkWatch {
 public:
  ForkWatch();
  ~ForkWatch();
  ForkWatch(const ForkWatch&) = delete;
  ForkWatch& operator=(const ForkWatch&) = delete;

 private:
  void Watch();

  int ends_[2] = {-1, -1};  // the forked processes tell their ids here; 0 ends the watch
  std::thread watcher_;
  unsigned letInAgain_ = 0;  // the close signals the making thread let in before
};

}  // namespace Velk
