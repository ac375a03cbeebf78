// Preloaded into the program by the e2e cases: every change of a file's mode is refused, as a FUSE
// mount that denies chmod does (and FAT-family and some network mounts alike).
#include <errno.h>
#include <sys/stat.h>

static int Refuse(void) {
  errno = EPERM;
  return -1;
}

int chmod(const char* path, mode_t mode) {
  (void)path;
  (void)mode;
  return Refuse();
}

int fchmod(int fd, mode_t mode) {
  (void)fd;
  (void)mode;
  return Refuse();
}

int fchmodat(int dirfd, const char* path, mode_t mode, int flags) {
  (void)dirfd;
  (void)path;
  (void)mode;
  (void)flags;
  return Refuse();
}
