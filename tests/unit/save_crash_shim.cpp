// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into a program that saves settings: counts the calls that change a file and ends the process
// just before call number $FOLDWARN_CRASH_AT, as a kill would: no clean-up, nothing more written.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace {

constexpr int CrashExitCode = 86;

std::atomic<long> Calls{0};

void BeforeFileChange() {
  static const long crashAt = [] {
    const char* text = std::getenv("FOLDWARN_CRASH_AT");
    return text ? std::atol(text) : 0L;
  }();
  if (++Calls == crashAt) ::_exit(CrashExitCode);
}

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool Writes(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0; }

// Standard output and error are the program's talk, not its files.
bool IsFile(int fd) { return fd > 2; }

}  // namespace

// The mode argument is there only when a file may be made.
#define FOLDWARN_MODE(flags)               \
  mode_t mode = 0;                         \
  if ((flags) & (O_CREAT | __O_TMPFILE)) { \
    va_list args;                          \
    va_start(args, flags);                 \
    mode = mode_t(va_arg(args, unsigned)); \
    va_end(args);                          \
  }                                        \
  if (Writes(flags)) BeforeFileChange()

extern "C" int open(const char* path, int flags, ...) {
  FOLDWARN_MODE(flags);
  return Next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}
extern "C" int open64(const char* path, int flags, ...) {
  FOLDWARN_MODE(flags);
  return Next<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
}
extern "C" int openat(int dirfd, const char* path, int flags, ...) {
  FOLDWARN_MODE(flags);
  return Next<int (*)(int, const char*, int, ...)>("openat")(dirfd, path, flags, mode);
}

extern "C" ssize_t write(int fd, const void* buffer, size_t size) {
  if (IsFile(fd)) BeforeFileChange();
  return Next<ssize_t (*)(int, const void*, size_t)>("write")(fd, buffer, size);
}
extern "C" ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
  BeforeFileChange();
  return Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite")(fd, buffer, size, offset);
}
extern "C" int ftruncate(int fd, off_t length) {
  BeforeFileChange();
  return Next<int (*)(int, off_t)>("ftruncate")(fd, length);
}
extern "C" int fallocate(int fd, int mode, off_t offset, off_t length) {
  BeforeFileChange();
  return Next<int (*)(int, int, off_t, off_t)>("fallocate")(fd, mode, offset, length);
}
extern "C" int fsync(int fd) {
  BeforeFileChange();
  return Next<int (*)(int)>("fsync")(fd);
}
extern "C" int rename(const char* from, const char* to) {
  BeforeFileChange();
  return Next<int (*)(const char*, const char*)>("rename")(from, to);
}
extern "C" int unlink(const char* path) {
  BeforeFileChange();
  return Next<int (*)(const char*)>("unlink")(path);
}
