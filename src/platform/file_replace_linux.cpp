// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QList>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <mutex>

#include "file_name.h"
#include "file_replace.h"

namespace Platform {
namespace {

// A save is over in well under a second. A younger temporary file may belong to one still under way, perhaps
// on another machine that shares the folder, whose process we cannot see.
constexpr time_t AbandonedAfterSeconds = 5 * 60;
// 64 random bits in base 36, always this long, so that the name has one exact shape.
constexpr qsizetype RandomLength = 13;

enum class Replaced { Done, Failed, NotPossible };

// Only a refusal means a new file cannot stand in for the old one. Anything else (a full volume or quota, no
// file handle left, an I/O error) is a failed write: writing in place then would cut the old file short.
Replaced FailureFrom(int error) {
  return (error == EACCES || error == EPERM || error == EOPNOTSUPP) ? Replaced::NotPossible : Replaced::Failed;
}

bool WriteAll(int fd, const QByteArray& data, off_t offset) {
  for (qsizetype done = 0; done < data.size();) {
    const ssize_t n = ::pwrite(fd, data.constData() + done, size_t(data.size() - done), offset + off_t(done));
    if (n > 0)
      done += n;
    else if (n < 0 && errno == EINTR)
      continue;
    else
      return false;
  }
  return true;
}

QByteArray ResolveLinks(QByteArray path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, Qt::Uninitialized);
    const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
    if (n < 0 || n >= target.size()) return {};
    target.truncate(n);
    if (!target.startsWith('/')) {
      const qsizetype slash = path.lastIndexOf('/');
      target.prepend(slash < 0 ? QByteArray() : path.left(slash + 1));
    }
    path = target;
  }
  return {};
}

// Takes the blocks a longer text needs before a byte changes, so that a full volume fails here. Where the file
// system cannot reserve them, line breaks past the old end take them: until the new text is written the file
// reads as its old lines and blank ones.
bool ReserveSize(int fd, off_t oldSize, off_t newSize) {
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, newSize) == 0) return true;
  if (errno != EOPNOTSUPP && errno != ENOSYS) return false;
  if (WriteAll(fd, QByteArray(qsizetype(newSize - oldSize), '\n'), oldSize) && ::fsync(fd) == 0) return true;
  (void)::ftruncate(fd, oldSize);
  return false;
}

// Rewrites the file itself: its inode, and so its links, owner and attributes, stay. A shorter text is padded
// with line breaks to the old length and the file cut only once that is on disk: an end between the calls
// leaves old or new lines and blank ones, never the old file's tail behind the new text.
bool RewriteInPlace(const QByteArray& path, const QByteArray& data) {
  const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  const off_t oldSize = st.st_size;
  const off_t newSize = off_t(data.size());
  if (ok && newSize > oldSize) ok = ReserveSize(fd, oldSize, newSize);
  QByteArray padded = data;
  if (newSize < oldSize) padded.append(qsizetype(oldSize - newSize), '\n');
  ok = ok && WriteAll(fd, padded, 0) && ::fsync(fd) == 0;
  if (ok && newSize < oldSize) ok = ::ftruncate(fd, newSize) == 0 && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  return ok;
}

QByteArray TempName(const QByteArray& path) {
  const QByteArray random =
      QByteArray::number(QRandomGenerator::system()->generate64(), 36).rightJustified(RandomLength, '0');
  return path + ".tmp-" + QByteArray::number(::getpid()) + '-' + random;
}

// The process id of a name of exactly the shape TempName makes for this file; 0 for any other name.
pid_t TempNameProcess(const QByteArray& name, const QByteArray& prefix) {
  if (!name.startsWith(prefix)) return 0;
  const QByteArray rest = name.mid(prefix.size());
  const qsizetype dash = rest.indexOf('-');
  if (dash < 1 || dash > 10 || rest[0] == '0' || rest.size() - dash - 1 != RandomLength) return 0;
  for (qsizetype i = 0; i < rest.size(); ++i) {
    const char c = rest[i];
    const bool digit = c >= '0' && c <= '9';
    if (i < dash ? !digit : i > dash && !digit && !(c >= 'a' && c <= 'z')) return 0;
  }
  bool ok = false;
  const qlonglong pid = rest.left(dash).toLongLong(&ok);
  return ok && pid <= INT_MAX ? pid_t(pid) : 0;
}

// Removes what a save that ended without finishing left: only the exact shape the writer makes, a file of this
// user's, older than a few minutes, whose process is gone. One with our own process id is from an earlier run
// that had it: this process makes one at a time, and none while it sweeps.
void RemoveAbandonedTemps(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(std::max<qsizetype>(slash, 1));
  const QByteArray prefix = path.mid(slash + 1) + ".tmp-";
  DIR* dir = ::opendir(folder.constData());
  if (!dir) return;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const QByteArray name(entry->d_name);
    const pid_t pid = TempNameProcess(name, prefix);
    if (pid <= 0) continue;
    const QByteArray temp = folder + '/' + name;
    struct stat st {};
    if (::lstat(temp.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        now - st.st_mtime < AbandonedAfterSeconds)
      continue;
    if (pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH)) (void)::unlink(temp.constData());
  }
  ::closedir(dir);
}

// The new file takes what the old one had: owner and group, mode, extended attributes (ACLs, security labels).
// 0, or the error of the call that failed.
int CopyMetadata(int fd, const QByteArray& from, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 || ::fchmod(fd, old.st_mode & 07777) != 0) return errno;
  const ssize_t size = ::listxattr(from.constData(), nullptr, 0);
  if (size < 0) return errno == ENOTSUP ? 0 : errno;
  QByteArray names(size, Qt::Uninitialized);
  const ssize_t got = ::listxattr(from.constData(), names.data(), size_t(size));
  if (got < 0) return errno;
  for (const QByteArray& name : names.left(got).split('\0')) {
    if (name.isEmpty()) continue;
    const ssize_t length = ::getxattr(from.constData(), name.constData(), nullptr, 0);
    if (length < 0) return errno;
    QByteArray value(length, Qt::Uninitialized);
    const ssize_t read = ::getxattr(from.constData(), name.constData(), value.data(), size_t(length));
    if (read < 0 || ::fsetxattr(fd, name.constData(), value.constData(), size_t(read), 0) != 0) return errno;
  }
  return 0;
}

// Temp file beside the target, then rename. (QSaveFile was not used: it committed a short file when the size
// limit cut a write.)
Replaced ReplaceThroughTemp(const QByteArray& path, const QByteArray& data, const struct stat* old) {
  QByteArray temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
    temp = TempName(path);
    fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return FailureFrom(errno);
  }
  if (fd < 0) return Replaced::Failed;
  const auto fail = [&](Replaced result) {
    ::close(fd);
    ::unlink(temp.constData());
    return result;
  };
  if (const int error = old ? CopyMetadata(fd, path, *old) : 0) return fail(FailureFrom(error));
  if (!WriteAll(fd, data, 0) || ::fsync(fd) != 0) return fail(Replaced::Failed);
  if (::close(fd) != 0) {
    ::unlink(temp.constData());
    return Replaced::Failed;
  }
  if (::rename(temp.constData(), path.constData()) != 0) {
    const int error = errno;
    ::unlink(temp.constData());
    return FailureFrom(error);
  }
  // The rename itself lasts only once the folder is on disk too.
  const qsizetype slash = path.lastIndexOf('/');
  const QByteArray folder = slash < 0 ? QByteArray(".") : path.left(std::max<qsizetype>(slash, 1));
  const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return Replaced::Done;
}

}  // namespace

QString LinkChainEnd(const QString& file) {
  const std::optional<QByteArray> path = EncodeName(file);
  return path ? DecodeName(ResolveLinks(*path)) : QString();
}

bool ReplaceFileContents(const QString& file, const QByteArray& data) {
  // One save at a time: the sweep takes temporary files with our own process id for leftovers.
  static std::mutex saving;
  std::lock_guard lock(saving);
  const std::optional<QByteArray> name = EncodeName(file);
  if (!name) return false;
  const QByteArray& path = *name;
  RemoveAbandonedTemps(path);
  struct stat old {};
  const bool exists = ::stat(path.constData(), &old) == 0;
  // A rename would split a file with more links from the others.
  if (exists && old.st_nlink > 1) return RewriteInPlace(path, data);
  switch (ReplaceThroughTemp(path, data, exists ? &old : nullptr)) {
    case Replaced::Done:
      return true;
    case Replaced::NotPossible:
      return exists && RewriteInPlace(path, data);
    case Replaced::Failed:
      break;
  }
  return false;
}

}  // namespace Platform
