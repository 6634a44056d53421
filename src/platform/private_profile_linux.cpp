// Private-profile files without the Windows API. The file is handled as bytes so that a write keeps every
// byte it does not replace (comments, unknown lines, line endings, even invalid UTF-8); only section
// names, keys and values are decoded, as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <cerrno>

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

enum class LineKind { Other, Section, Key };

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
  if (eq < 0) return parsed;
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
  qsizetype lastKeyLine = -1;  // last key line of the section (or its header when it holds none)
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
    } else if (parsed.kind == LineKind::Key && loc.sectionLine >= 0) {
      loc.lastKeyLine = i;
      if (sameName(parsed.name, key)) {
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

// Temp file beside the target, then rename: a crash or a full disk never leaves a half-written settings
// file. (QSaveFile was not used: it committed a short file when the size limit cut a write.)
bool replaceFileAtomically(const QString& target, const QByteArray& data) {
  static int sequence = 0;
  const QByteArray path = QFile::encodeName(target);
  const QByteArray temp = path + ".tmp-" + QByteArray::number(::getpid()) + '-' + QByteArray::number(++sequence);
  const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat existing {};
  if (::stat(path.constData(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);

  bool ok = true;
  for (qsizetype done = 0; ok && done < data.size();) {
    const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
    if (n > 0)
      done += n;
    else if (n < 0 && errno == EINTR)
      continue;
    else
      ok = false;
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.constData(), path.constData()) == 0;
  if (!ok) ::unlink(temp.constData());
  return ok;
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

  // Write through a symbolic link to its target rather than replacing the link.
  QString target = file;
  const QFileInfo info(file);
  if (info.isSymLink()) target = info.symLinkTarget();
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

  return replaceFileAtomically(target, data);
}

}  // namespace Platform
