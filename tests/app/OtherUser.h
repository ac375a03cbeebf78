#pragma once
// Another user than the test's, for what only an ordinary user meets: root reads every file and
// searches every folder, so a test that runs as root runs such things as a user like "nobody".

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace Velk::Testing {

// Whom a child runs as instead of its parent's user; only root can switch.
struct UserId {
  uid_t uid;
  gid_t gid;
};

// The user of that name; nothing when there is none.
inline std::optional<UserId> UserNamed(const char* name) {
  const passwd* entry = getpwnam(name);
  if (entry == nullptr) return std::nullopt;
  return UserId{entry->pw_uid, entry->pw_gid};
}

// Makes the calling process `user`, with no supplementary groups; false when it may not.
inline bool BecomeUser(const UserId& user) {
  return setgroups(0, nullptr) == 0 && setgid(user.gid) == 0 && setuid(user.uid) == 0;
}

enum class Reach { Yes, No, CannotSwitch };

// Whether `user` may enter `folder`: a process of its own becomes `user` and tries.
inline Reach Reaches(const UserId& user, const std::filesystem::path& folder) {
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error(std::string("cannot fork: ") + std::strerror(errno));
  if (pid == 0) {
    if (!BecomeUser(user)) _exit(static_cast<int>(Reach::CannotSwitch));
    _exit(static_cast<int>(access(folder.c_str(), X_OK) == 0 ? Reach::Yes : Reach::No));
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
    throw std::runtime_error("the probe as another user was lost");
  return static_cast<Reach>(WEXITSTATUS(status));
}

// Where a test makes the folders `user` must reach: the temporary folder, or /tmp when `user`
// cannot enter that one (a TMPDIR in root's home, of mode 700).
inline std::filesystem::path TemporaryFolderFor(const std::optional<UserId>& user) {
  const std::filesystem::path temporary = std::filesystem::temp_directory_path();
  return user && Reaches(*user, temporary) == Reach::No ? "/tmp" : temporary;
}

}  // namespace Velk::Testing
