// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Root ignores permission bits, so a folder without write permission is only refused to someone else.
// While this lives, a root process acts as "nobody" (user and groups); an ordinary user stays who they are.
#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <vector>

class ScopedUnprivileged {
 public:
  ScopedUnprivileged() {
    if (::geteuid() != 0) return;
    const int count = ::getgroups(0, nullptr);
    groups_.resize(count > 0 ? count : 0);
    if (count > 0) ::getgroups(count, groups_.data());
    savedGid_ = ::getegid();
    const gid_t nogroup = 65534;
    // Groups first: once the user is gone, changing them is no longer allowed.
    dropped_ = ::setgroups(1, &nogroup) == 0 && ::setegid(nogroup) == 0 && ::seteuid(65534) == 0;
    if (!dropped_) restore();
  }
  ~ScopedUnprivileged() {
    if (dropped_) restore();
  }
  ScopedUnprivileged(const ScopedUnprivileged&) = delete;
  ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

  // False when the process is root and could not give that up: permission tests must be skipped then.
  bool active() const { return ::geteuid() != 0; }

 private:
  void restore() {
    (void)::seteuid(0);
    (void)::setegid(savedGid_);
    (void)::setgroups(groups_.size(), groups_.data());
  }

  std::vector<gid_t> groups_;
  gid_t savedGid_ = 0;
  bool dropped_ = false;
};
