// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into a program that saves settings: counts the calls that change a file and ends the process
// just before call number $FOLDWARN_CRASH_AT, as a kill or a power cut would, without any clean-up.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace {

constexpr int CrashExitCode = 86;

std::atomic<long> calls{0};

void BeforeFileChange() {
  static const long crashAt = [] {
    const char* text = std::getenv("FOLDWARN_CRASH_AT");
    return text ? std::atol(text) : 0L;
  }();
  if (++calls == crashAt) ::_exit(CrashExitCode);
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
extern "C" int openat64(int dirfd, const char* path, int flags, ...) {
  FOLDWARN_MODE(flags);
  return Next<int (*)(int, const char*, int, ...)>("openat64")(dirfd, path, flags, mode);
}

extern "C" ssize_t write(int fd, const void* buffer, size_t size) {
  if (IsFile(fd)) BeforeFileChange();
  return Next<ssize_t (*)(int, const void*, size_t)>("write")(fd, buffer, size);
}
extern "C" ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
  BeforeFileChange();
  return Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite")(fd, buffer, size, offset);
}
extern "C" ssize_t pwrite64(int fd, const void* buffer, size_t size, off64_t offset) {
  BeforeFileChange();
  return Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64")(fd, buffer, size, offset);
}
extern "C" int ftruncate(int fd, off_t length) {
  BeforeFileChange();
  return Next<int (*)(int, off_t)>("ftruncate")(fd, length);
}
extern "C" int ftruncate64(int fd, off64_t length) {
  BeforeFileChange();
  return Next<int (*)(int, off64_t)>("ftruncate64")(fd, length);
}
extern "C" int fallocate(int fd, int mode, off_t offset, off_t length) {
  BeforeFileChange();
  return Next<int (*)(int, int, off_t, off_t)>("fallocate")(fd, mode, offset, length);
}
extern "C" int fallocate64(int fd, int mode, off64_t offset, off64_t length) {
  BeforeFileChange();
  return Next<int (*)(int, int, off64_t, off64_t)>("fallocate64")(fd, mode, offset, length);
}
extern "C" int fsync(int fd) {
  BeforeFileChange();
  return Next<int (*)(int)>("fsync")(fd);
}
extern "C" int fdatasync(int fd) {
  BeforeFileChange();
  return Next<int (*)(int)>("fdatasync")(fd);
}
extern "C" int rename(const char* from, const char* to) {
  BeforeFileChange();
  return Next<int (*)(const char*, const char*)>("rename")(from, to);
}
extern "C" int renameat(int fromDir, const char* from, int toDir, const char* to) {
  BeforeFileChange();
  return Next<int (*)(int, const char*, int, const char*)>("renameat")(fromDir, from, toDir, to);
}
extern "C" int unlink(const char* path) {
  BeforeFileChange();
  return Next<int (*)(const char*)>("unlink")(path);
}
extern "C" int unlinkat(int dirfd, const char* path, int flags) {
  BeforeFileChange();
  return Next<int (*)(int, const char*, int)>("unlinkat")(dirfd, path, flags);
}
