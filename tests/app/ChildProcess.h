#pragma once
// A program run as a process of its own: its environment set, its standard output read line by
// line, its end awaited with a time limit. Nothing waits without a bound.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/OtherUser.h"

extern char** environ;

namespace Velk::Testing {

// How many times slower a sanitizer build runs the same code: every time limit of the tests is
// stretched by it (cmake/TestLimits.cmake sets it for CTest's limits too).
constexpr int kChildSlowdown = PELUNE_TEST_SLOWDOWN;

class ChildProcess {
 public:
  // Runs `argv` with the environment changed by `env`; with `fdOut` >= 0 that descriptor of the
  // child becomes the write end of a pipe read through Out() (its standard output when 1). A
  // non-empty `workDir` is the child's current folder; a non-empty `errorsFile` takes its standard
  // error; `user` is whom it runs as. A child that cannot be made throws, failing the test: no
  // object stands for a process that is not there, so nothing signals a pid below 1.
  ChildProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env, int fdOut = 1,
               const std::string& workDir = "", const std::string& errorsFile = "",
               const std::optional<UserId>& user = std::nullopt) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
      throw std::runtime_error("no pipe for " + argv[0] + ": " + std::strerror(errno));
    // Everything the child uses is made before the fork: another thread of the parent may hold a
    // lock (the heap's, stdio's) at the fork, so the child only makes plain calls up to the exec.
    const std::vector<std::string> vars = Environment(env);
    std::vector<char*> args, envp;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& v : vars) envp.push_back(const_cast<char*>(v.c_str()));
    envp.push_back(nullptr);
    const std::string cannotRun = "cannot run " + argv[0] + ": errno ";
    pid_ = fork();
    if (pid_ < 0) {
      const int error = errno;
      close(pipeFds[0]);
      close(pipeFds[1]);
      throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    }
    if (pid_ == 0) {
      dup2(pipeFds[1], fdOut);  // dup2 clears close-on-exec on the copy
      if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
      if (!errorsFile.empty()) {
        const int errors = open(errorsFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (errors < 0 || dup2(errors, 2) < 0) _exit(126);
      }
      if (user && !BecomeUser(*user)) _exit(126);
      execve(args[0], args.data(), envp.data());
      SayExecFailed(cannotRun, errno);
      _exit(127);
    }
    close(pipeFds[1]);
    out_ = pipeFds[0];
  }
  ~ChildProcess() {
    if (pid_ > 0 && !status_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }

  // The next line of output; nothing when the limit passed or the output ended first.
  std::optional<std::string> ReadLine(int limitMs) {
    const auto end = Now() + std::chrono::milliseconds(limitMs);
    size_t newline;
    while ((newline = buffered_.find('\n')) == std::string::npos) {
      const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - Now()).count());
      pollfd fd{out_, POLLIN, 0};
      if (left <= 0 || poll(&fd, 1, left) <= 0) return std::nullopt;
      char chunk[256];
      ssize_t n = read(out_, chunk, sizeof chunk);
      if (n <= 0) return std::nullopt;
      buffered_.append(chunk, static_cast<size_t>(n));
    }
    std::string line = buffered_.substr(0, newline);
    buffered_.erase(0, newline + 1);
    return line;
  }

  // Reads output until a line equal to `line` came; false when the limit passed or output ended.
  bool WaitForLine(const std::string& line, int limitMs) {
    const auto end = Now() + std::chrono::milliseconds(limitMs);
    for (;;) {
      const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - Now()).count());
      std::optional<std::string> got = ReadLine(std::max(left, 0));
      if (!got) return false;
      if (*got == line) return true;
    }
  }

  // The wait status once the process ended within the limit.
  std::optional<int> WaitForEnd(int limitMs) {
    const auto end = Now() + std::chrono::milliseconds(limitMs);
    while (!status_) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
      } else if (Now() >= end) {
        break;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    return status_;
  }

 private:
  // `prefix` and the error's number, written with no call that allocates or takes a lock.
  static void SayExecFailed(const std::string& prefix, int error) {
    char digits[16];
    size_t at = sizeof digits;
    digits[--at] = '\n';
    do {
      digits[--at] = static_cast<char>('0' + error % 10);
      error /= 10;
    } while (error > 0 && at > 0);
    [[maybe_unused]] ssize_t written = write(2, prefix.data(), prefix.size());
    written = write(2, digits + at, sizeof digits - at);
  }

  static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }

  static std::vector<std::string> Environment(const std::map<std::string, std::string>& env) {
    std::vector<std::string> vars;
    for (char** e = environ; *e; ++e) {
      std::string var = *e;
      if (!env.count(var.substr(0, var.find('=')))) vars.push_back(var);
    }
    for (const auto& [name, value] : env) vars.push_back(name + "=" + value);
    return vars;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffered_;
  std::optional<int> status_;
};

}  // namespace Velk::Testing
