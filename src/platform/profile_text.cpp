// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile_text.h"

#include <QList>

#include "file_name.h"

namespace Platform {
namespace {

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

QList<Line> SplitLines(const QByteArray& data) {
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

ParsedLine ParseLine(const QByteArray& data, const Line& line) {
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

bool SameName(const QByteArray& utf8, const QString& name) {
  return QString::fromUtf8(utf8).compare(name, Qt::CaseInsensitive) == 0;
}

// Where a key lives in the file, as far as the look-up got.
struct Location {
  qsizetype sectionLine = -1;  // index of the section header, -1 when the section is missing
  qsizetype lastKeyLine = -1;  // last key or bare line of the section (or its header when it holds none)
  qsizetype keyLine = -1;      // the key's line, -1 when missing
  ParsedLine key;
};

Location Locate(const QByteArray& data, const QList<Line>& lines, const QString& section, const QString& key) {
  Location loc;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = ParseLine(data, lines[i]);
    if (parsed.kind == LineKind::Section) {
      if (loc.sectionLine >= 0) break;  // the first section of that name is the one used
      if (SameName(parsed.name, section)) {
        loc.sectionLine = i;
        loc.lastKeyLine = i;
      }
    } else if (parsed.kind != LineKind::Other && loc.sectionLine >= 0) {
      loc.lastKeyLine = i;
      if (parsed.kind == LineKind::Key && SameName(parsed.name, key)) {
        loc.keyLine = i;
        loc.key = parsed;
        break;
      }
    }
  }
  return loc;
}

QByteArray Unquote(const QByteArray& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.mid(1, value.size() - 2);
  return value;
}

// A line break or NUL in a name or value would split the line and corrupt the file's structure.
bool FitsOnOneLine(const QString& text) {
  return !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar(0));
}

// Names that would not read back as written: they would split the line, start a comment or a header,
// or lose blanks at their ends.
bool Writable(const QString& section, const QString& key, const QString& value) {
  const auto trimmedUtf8 = [](const QString& s) { return QString::fromUtf8(s.toUtf8().trimmed()); };
  return FitsOnOneLine(section) && FitsOnOneLine(key) && FitsOnOneLine(value) && !section.isEmpty() && !key.isEmpty() &&
         trimmedUtf8(section) == section && trimmedUtf8(key) == key && !section.contains(u']') && !key.contains(u'=') &&
         !key.startsWith(u';') && !key.startsWith(u'[');
}

QByteArray LineEndingOf(const QByteArray& data) {
  return data.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
}

}  // namespace

std::optional<QString> ProfileValue(const QByteArray& text, const QString& section, const QString& key) {
  const QList<Line> lines = SplitLines(text);
  const Location loc = Locate(text, lines, section, key);
  if (loc.keyLine < 0) return std::nullopt;
  const Line& line = lines[loc.keyLine];
  const QByteArray value = text.mid(loc.key.valueBegin, line.end - loc.key.valueBegin).trimmed();
  // A folder or tone name is kept as the bytes it has, UTF-8 or not.
  return DecodeName(Unquote(value));
}

std::optional<QByteArray> WithProfileValue(QByteArray text, const QString& section, const QString& key,
                                           const QString& value) {
  const std::optional<QByteArray> valueBytes = value.isEmpty() ? QByteArray() : EncodeName(value);
  if (!valueBytes || !Writable(section, key, value)) return std::nullopt;
  const QByteArray eol = LineEndingOf(text);
  const QList<Line> lines = SplitLines(text);
  const Location loc = Locate(text, lines, section, key);
  const QByteArray keyUtf8 = key.toUtf8();
  const QByteArray& valueUtf8 = *valueBytes;

  if (loc.keyLine >= 0) {
    // Replace only the value; the key's spelling and anything before '=' stay as they were.
    const Line& line = lines[loc.keyLine];
    text.replace(loc.key.valueBegin, line.end - loc.key.valueBegin, valueUtf8);
  } else if (loc.sectionLine >= 0) {
    const Line& after = lines[loc.lastKeyLine];
    QByteArray insert;
    if (after.next == after.end) insert += eol;  // last line of the file had no line ending
    insert += keyUtf8 + '=' + valueUtf8 + eol;
    text.insert(after.next, insert);
  } else {
    if (!text.isEmpty() && !text.endsWith('\n')) text += eol;
    text += '[' + section.toUtf8() + ']' + eol + keyUtf8 + '=' + valueUtf8 + eol;
  }
  return text;
}

}  // namespace Platform
