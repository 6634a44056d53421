// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the folder readers: getdents64 takes many entries in one system call.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace Platform {

// The record getdents64 fills in; glibc does not declare it. The fields keep the kernel's names.
// NOLINTBEGIN(readability-identifier-naming)
struct LinuxDirent64 {
  ino64_t d_ino;
  off64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[];
};
// NOLINTEND(readability-identifier-naming)

// True when the entry is of the wanted type (DT_REG or DT_DIR). Links count as what they lead to, and some
// file systems give no type at all: only then does it cost a stat.
inline bool EntryIs(int dirFd, const char* name, unsigned char type, unsigned char wanted) {
  if (type == wanted) return true;
  if (type != DT_UNKNOWN && type != DT_LNK) return false;
  struct stat st {};
  if (::fstatat(dirFd, name, &st, 0) != 0) return false;
  return wanted == DT_REG ? S_ISREG(st.st_mode) : wanted == DT_DIR && S_ISDIR(st.st_mode);
}

}  // namespace Platform
