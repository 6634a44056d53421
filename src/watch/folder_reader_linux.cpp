// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "folder_reader.h"
#include "platform/folder_count.h"

namespace Watch {
namespace {

// Everything that can change which entries the folder holds, or whether it can be read.
constexpr std::uint32_t kNoticeMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

FolderReader::~FolderReader() { stopWatching(); }

void FolderReader::stopWatching() {
  if (notices_ >= 0) ::close(notices_);
  notices_ = -1;
}

Change FolderReader::drainNotices() {
  if (notices_ < 0) return Change::None;
  Change change = Change::None;
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(notices_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // EAGAIN: nothing more queued
    for (ssize_t offset = 0; offset < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
      change = Stronger(change, ChangeOf(event->mask));
      offset += ssize_t(sizeof(inotify_event) + event->len);
    }
  }
  return change;
}

bool FolderReader::watchOpenFolder(int dirFd) {
  stopWatching();
  notices_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (notices_ < 0) return false;
  // Through the open handle: the watch lands on the very folder counted, even if the path was just replaced.
  const QByteArray handle = "/proc/self/fd/" + QByteArray::number(dirFd);
  if (::inotify_add_watch(notices_, handle.constData(), kNoticeMask) < 0) {
    stopWatching();  // the watch limit reached, or no /proc
    return false;
  }
  return true;
}

Reading FolderReader::check(const QString& folder) {
  if (folder != folder_) {
    stopWatching();
    counted_ = false;
    folder_ = folder;
  }
  const QByteArray path = QFile::encodeName(folder);
  if (folder.isEmpty() || folder.contains(QChar(0))) return {};

  // Notices first: whatever happens after this is left for the next check.
  CheckState state;
  state.change = drainNotices();
  state.counted = counted_;
  state.local = local_;
  state.watching = notices_ >= 0;
  state.links = links_;
  struct stat st {};
  state.sameFolder = ::stat(path.constData(), &st) == 0 && Identity{st.st_dev, st.st_ino} == identity_;
  if (!MustCount(state)) return {lastCount_, false};

  counted_ = false;
  const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return {std::nullopt, true};
  struct statfs fs {};
  local_ = ::fstatfs(fd, &fs) == 0 && IsLocalFileSystem(long(fs.f_type));
  const Identity before = identity_;
  identity_ = ::fstat(fd, &st) == 0 ? Identity{st.st_dev, st.st_ino} : Identity{};
  if (!local_) {
    stopWatching();
  } else if (state.change == Change::WatchGone || notices_ < 0 || identity_ != before) {
    watchOpenFolder(fd);
  }
  const std::optional<Platform::FolderCount> result = Platform::CountOpenFolder(fd);
  ::close(fd);
  if (!result) return {std::nullopt, true};
  counted_ = true;
  lastCount_ = result->files;
  links_ = result->links;
  return {lastCount_, true};
}

}  // namespace Watch
