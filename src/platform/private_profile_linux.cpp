// SPDX-License-Identifier: GPL-3.0-or-later
// Private-profile files without the Windows API. The file is handled as bytes so that a write keeps every
// byte it does not replace (comments, unknown lines, line endings, even invalid UTF-8); only section
// names, keys and values are decoded, as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <csignal>
#include <mutex>

#include "private_profile.h"

namespace Platform {
namespace {

// Larger files are not parsed: nobody writes a settings file that size, and reading it would stall start-up.
constexpr qint64 MaxProfileSize = 256LL * 1024 * 1024;

struct Line {
  qsizetype begin = 0;  // first byte of the line
  qsizetype end = 0;    // one past the last byte before the line ending
  qsizetype next = 0;   // first byte of the following line
};

// Bare: text without "=", which Windows keeps as part of its section.
enum class LineKind { Other, Section, Key, Bare };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  QByteArray name;           // section name or key, trimmed
  qsizetype valueBegin = 0;  // for keys: the byte after '='
};

QList<Line> splitLines(const QByteArray& data) {
  QList<Line> lines;
  qsizetype pos = 0;
  // A UTF-8 byte order mark is not part of the first line's text.
  if (data.startsWith("\xEF\xBB\xBF")) pos = 3;
  while (pos < data.size()) {
    qsizetype nl = data.indexOf('\n', pos);
    Line line;
    line.begin = pos;
    if (nl < 0) {
      line.end = data.size();
      line.next = data.size();
    } else {
      line.end = (nl > pos && data[nl - 1] == '\r') ? nl - 1 : nl;
      line.next = nl + 1;
    }
    lines.append(line);
    pos = line.next;
  }
  return lines;
}

ParsedLine parseLine(const QByteArray& data, const Line& line) {
  ParsedLine parsed;
  const QByteArray text = data.mid(line.begin, line.end - line.begin);
  const QByteArray trimmed = text.trimmed();
  if (trimmed.isEmpty() || trimmed.startsWith(';')) return parsed;
  if (trimmed.startsWith('[')) {
    qsizetype close = trimmed.indexOf(']');
    parsed.kind = LineKind::Section;
    parsed.name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
    return parsed;
  }
  qsizetype eq = text.indexOf('=');
  if (eq < 0) {
    parsed.kind = LineKind::Bare;
    return parsed;
  }
  parsed.kind = LineKind::Key;
  parsed.name = text.left(eq).trimmed();
  parsed.valueBegin = line.begin + eq + 1;
  return parsed;
}

bool sameName(const QByteArray& utf8, const QString& name) {
  return QString::fromUtf8(utf8).compare(name, Qt::CaseInsensitive) == 0;
}

// Where a key lives in the file, as far as the look-up got.
struct Location {
  qsizetype sectionLine = -1;  // index of the section header, -1 when the section is missing
  qsizetype lastKeyLine = -1;  // last key or bare line of the section (or its header when it holds none)
  qsizetype keyLine = -1;      // the key's line, -1 when missing
  ParsedLine key;
};

Location locate(const QByteArray& data, const QList<Line>& lines, const QString& section, const QString& key) {
  Location loc;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = parseLine(data, lines[i]);
    if (parsed.kind == LineKind::Section) {
      if (loc.sectionLine >= 0) break;  // the first section of that name is the one used
      if (sameName(parsed.name, section)) {
        loc.sectionLine = i;
        loc.lastKeyLine = i;
      }
    } else if (parsed.kind != LineKind::Other && loc.sectionLine >= 0) {
      loc.lastKeyLine = i;
      if (parsed.kind == LineKind::Key && sameName(parsed.name, key)) {
        loc.keyLine = i;
        loc.key = parsed;
        break;
      }
    }
  }
  return loc;
}

std::optional<QByteArray> readWholeFile(const QString& file) {
  QFileInfo info(file);
  if (!info.isFile() || info.size() > MaxProfileSize) return std::nullopt;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray data = f.readAll();
  if (f.error() != QFileDevice::NoError) return std::nullopt;
  return data;
}

QByteArray unquote(const QByteArray& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.mid(1, value.size() - 2);
  return value;
}

// A line break or NUL in a name or value would split the line and corrupt the file's structure.
bool fitsOnOneLine(const QString& text) {
  return !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar(0));
}

// Names that would not read back as written: they would split the line, start a comment or a header,
// or lose blanks at their ends.
bool writable(const QString& section, const QString& key, const QString& value) {
  const auto trimmedUtf8 = [](const QString& s) { return QString::fromUtf8(s.toUtf8().trimmed()); };
  return fitsOnOneLine(section) && fitsOnOneLine(key) && fitsOnOneLine(value) && !section.isEmpty() && !key.isEmpty() &&
         trimmedUtf8(section) == section && trimmedUtf8(key) == key && !section.contains(u']') && !key.contains(u'=') &&
         !key.startsWith(u';') && !key.startsWith(u'[');
}

QByteArray lineEndingOf(const QByteArray& data) {
  return data.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
}

bool writeAll(int fd, const QByteArray& data) {
  for (qsizetype done = 0; done < data.size();) {
    const ssize_t n = ::pwrite(fd, data.constData() + done, size_t(data.size() - done), off_t(done));
    if (n > 0)
      done += n;
    else if (n < 0 && errno == EINTR)
      continue;
    else
      return false;
  }
  return true;
}

// The end of a symbolic link chain, however long; the file itself when it is none. Empty for a loop.
QByteArray resolveLinks(QByteArray path) {
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

// Rewrites the file itself: its inode, and so its owner, links and attributes, stay. Not crash-safe, so only
// where a new file cannot take its place.
bool rewriteInPlace(const QByteArray& path, const QByteArray& data) {
  const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  bool ok = writeAll(fd, data) && ::ftruncate(fd, off_t(data.size())) == 0 && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  return ok;
}

// Temp files are named "<file>.tmp-<pid>-<random>". One whose process is gone was left by a crash; one with
// our own process id is from an earlier run that had it, since this process makes one at a time.
void removeStaleTemps(const QByteArray& path) {
  const QFileInfo info(QFile::decodeName(path));
  const QString prefix = info.fileName() + QStringLiteral(".tmp-");
  const QStringList names =
      info.dir().entryList({prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
  for (const QString& name : names) {
    bool numeric = false;
    const pid_t pid = name.mid(prefix.size()).section(u'-', 0, 0).toInt(&numeric);
    if (!numeric || pid <= 0) continue;
    if (pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH)) QFile::remove(info.dir().filePath(name));
  }
}

// The new file takes what the old one had: owner and group, mode, extended attributes (ACLs, security labels).
bool copyMetadata(int fd, const QByteArray& from, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) return false;
  if (::fchmod(fd, old.st_mode & 07777) != 0) return false;
  const ssize_t size = ::listxattr(from.constData(), nullptr, 0);
  if (size < 0) return errno == ENOTSUP;
  QByteArray names(size, Qt::Uninitialized);
  const ssize_t got = ::listxattr(from.constData(), names.data(), size_t(size));
  if (got < 0) return false;
  for (const QByteArray& name : names.left(got).split('\0')) {
    if (name.isEmpty()) continue;
    const ssize_t length = ::getxattr(from.constData(), name.constData(), nullptr, 0);
    if (length < 0) return false;
    QByteArray value(length, Qt::Uninitialized);
    const ssize_t read = ::getxattr(from.constData(), name.constData(), value.data(), size_t(length));
    if (read < 0 || ::fsetxattr(fd, name.constData(), value.constData(), size_t(read), 0) != 0) return false;
  }
  return true;
}

enum class Replaced { Done, Failed, NotPossible };

// Temp file beside the target, then rename: a crash or a full disk never leaves a half-written settings
// file. (QSaveFile was not used: it committed a short file when the size limit cut a write.) NotPossible when
// a new file cannot stand in for the old one: the folder takes none, or the old one's owner or attributes
// cannot be given to it.
Replaced replaceFileAtomically(const QByteArray& path, const QByteArray& data, const struct stat* old) {
  removeStaleTemps(path);
  QByteArray temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
    temp = path + ".tmp-" + QByteArray::number(::getpid()) + '-' +
           QByteArray::number(QRandomGenerator::system()->generate64(), 36);
    fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return Replaced::NotPossible;
  }
  if (fd < 0) return Replaced::Failed;
  if (old && !copyMetadata(fd, path, *old)) {
    ::close(fd);
    ::unlink(temp.constData());
    return Replaced::NotPossible;
  }

  bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.constData(), path.constData()) == 0;
  if (!ok) {
    ::unlink(temp.constData());
    return Replaced::Failed;
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

bool storeFile(const QByteArray& path, const QByteArray& data) {
  // One write at a time: the stale-temp sweep takes temp files with our own process id for leftovers.
  static std::mutex writing;
  std::lock_guard lock(writing);
  struct stat old {};
  const bool exists = ::stat(path.constData(), &old) == 0;
  // A file with more links would be split from the others by a rename.
  if (exists && old.st_nlink > 1) return rewriteInPlace(path, data);
  switch (replaceFileAtomically(path, data, exists ? &old : nullptr)) {
    case Replaced::Done:
      return true;
    case Replaced::NotPossible:
      return exists && rewriteInPlace(path, data);
    case Replaced::Failed:
      break;
  }
  return false;
}

}  // namespace

std::optional<QString> ReadProfileString(const QString& section, const QString& key, const QString& file) {
  const std::optional<QByteArray> data = readWholeFile(file);
  if (!data) return std::nullopt;
  const QList<Line> lines = splitLines(*data);
  const Location loc = locate(*data, lines, section, key);
  if (loc.keyLine < 0) return std::nullopt;
  const Line& line = lines[loc.keyLine];
  const QByteArray value = data->mid(loc.key.valueBegin, line.end - loc.key.valueBegin).trimmed();
  return QString::fromUtf8(unquote(value));
}

bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file) {
  if (!writable(section, key, value)) return false;

  // Write through symbolic links to the file at the end of the chain rather than replacing a link.
  const QByteArray targetPath = resolveLinks(QFile::encodeName(file));
  if (targetPath.isEmpty()) return false;
  const QString target = QFile::decodeName(targetPath);
  const QFileInfo targetInfo(target);
  if (targetInfo.exists() && !targetInfo.isFile()) return false;

  QByteArray data;
  if (targetInfo.exists()) {
    std::optional<QByteArray> existing = readWholeFile(target);
    if (!existing) return false;  // never replace a file we could not read whole
    data = std::move(*existing);
  }

  const QByteArray eol = lineEndingOf(data);
  const QList<Line> lines = splitLines(data);
  const Location loc = locate(data, lines, section, key);
  const QByteArray keyUtf8 = key.toUtf8();
  const QByteArray valueUtf8 = value.toUtf8();

  if (loc.keyLine >= 0) {
    // Replace only the value; the key's spelling and anything before '=' stay as they were.
    const Line& line = lines[loc.keyLine];
    data.replace(loc.key.valueBegin, line.end - loc.key.valueBegin, valueUtf8);
  } else if (loc.sectionLine >= 0) {
    const Line& after = lines[loc.lastKeyLine];
    QByteArray insert;
    if (after.next == after.end) insert += eol;  // last line of the file had no line ending
    insert += keyUtf8 + '=' + valueUtf8 + eol;
    data.insert(after.next, insert);
  } else {
    if (!data.isEmpty() && !data.endsWith('\n')) data += eol;
    data += '[' + section.toUtf8() + ']' + eol + keyUtf8 + '=' + valueUtf8 + eol;
  }

  return storeFile(targetPath, data);
}

}  // namespace Platform
