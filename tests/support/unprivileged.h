#pragma once

// Root ignores permission bits, so a folder without write permission is only refused to someone else.
// While this lives, a root process acts as "nobody"; an ordinary user stays who they are.
#include <sys/types.h>
#include <unistd.h>

class ScopedUnprivileged {
 public:
  ScopedUnprivileged() {
    if (::geteuid() == 0) dropped_ = ::seteuid(65534) == 0;
  }
  ~ScopedUnprivileged() {
    if (dropped_) (void)::seteuid(0);
  }
  ScopedUnprivileged(const ScopedUnprivileged&) = delete;
  ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

  // False when the process is root and could not give that up: permission tests must be skipped then.
  bool active() const { return ::geteuid() != 0; }

 private:
  bool dropped_ = false;
};
