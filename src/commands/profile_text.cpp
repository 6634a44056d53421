// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile_text.h"

#include <algorithm>

#include "platform/file_name.h"

namespace Commands {
namespace {

constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");

struct Line {
  qsizetype begin = 0;  // first byte of the line
  qsizetype end = 0;    // one past the last byte before the line ending
  qsizetype next = 0;   // first byte of the following line
};

// Bare: text without "=", which Windows keeps as part of its section.
enum class LineKind { Other, Section, Key, Bare };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  QByteArrayView name;       // section name or key, trimmed
  qsizetype valueBegin = 0;  // for keys: the byte after '=', within the line
};

// No copy of the line: a file of millions of lines is scanned without an allocation per line.
ParsedLine ParseLine(QByteArrayView text) {
  ParsedLine parsed;
  const QByteArrayView trimmed = text.trimmed();
  if (trimmed.isEmpty() || trimmed.front() == ';') return parsed;
  if (trimmed.front() == '[') {
    const qsizetype close = trimmed.indexOf(']');
    parsed.kind = LineKind::Section;
    parsed.name = (close < 0 ? trimmed.sliced(1) : trimmed.sliced(1, close - 1)).trimmed();
    return parsed;
  }
  const qsizetype eq = text.indexOf('=');
  if (eq < 0) {
    parsed.kind = LineKind::Bare;
    return parsed;
  }
  parsed.kind = LineKind::Key;
  parsed.name = text.first(eq).trimmed();
  parsed.valueBegin = eq + 1;
  return parsed;
}

template <typename Visit>
void ForEachLine(QByteArrayView text, qsizetype from, Visit&& visit) {
  for (qsizetype pos = from; pos < text.size();) {
    // An empty line changes nothing past the first: a file of millions of them is crossed at memory speed.
    if (text[pos] == '\n' && pos != from) {
      ++pos;
      continue;
    }
    const qsizetype nl = text.indexOf('\n', pos);
    Line line{pos, text.size(), text.size()};
    if (nl >= 0) line = {pos, (nl > pos && text[nl - 1] == '\r') ? nl - 1 : nl, nl + 1};
    if (!visit(line)) return;
    pos = line.next;
  }
}

bool SameName(QByteArrayView bytes, const QString& name) {
  return Platform::DecodeName(bytes).compare(name, Qt::CaseInsensitive) == 0;
}

QByteArrayView Unquote(QByteArrayView value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.sliced(1, value.size() - 2);
  return value;
}

// A line break or NUL in a name or value would split the line and corrupt the file's structure.
bool FitsOnOneLine(const QString& text) {
  return !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar(0));
}

// The bytes of a name that reads back as written: one that would split the line, start a comment or a header,
// or lose blanks at its ends has none.
std::optional<QByteArray> NameBytes(const QString& name) {
  const std::optional<QByteArray> bytes = Platform::EncodeName(name);
  if (!bytes || !FitsOnOneLine(name) || bytes->trimmed() != *bytes) return std::nullopt;
  return bytes;
}

std::optional<QByteArray> ValueBytes(const QString& value) {
  if (value.isEmpty()) return QByteArray();
  return FitsOnOneLine(value) ? Platform::EncodeName(value) : std::nullopt;
}

}  // namespace

ProfileReader::ProfileReader(const QString& section, const QStringList& keys)
    : section_(section), keys_(keys), values_(keys.size()), missing_(keys.size()) {}

void ProfileReader::addLine(QByteArrayView line) {
  if (firstLine_) {
    firstLine_ = false;
    if (line.startsWith(ByteOrderMark)) line = line.sliced(ByteOrderMark.size());
  }
  if (finished()) return;
  const ParsedLine parsed = ParseLine(line);
  if (parsed.kind == LineKind::Section) {
    // The first section of that name is the one used.
    if (inSection_)
      passedSection_ = true;
    else
      inSection_ = SameName(parsed.name, section_);
    return;
  }
  if (parsed.kind != LineKind::Key || !inSection_) return;
  const QString name = Platform::DecodeName(parsed.name);
  for (qsizetype i = 0; i < keys_.size(); ++i) {
    if (values_[i] || name.compare(keys_[i], Qt::CaseInsensitive) != 0) continue;
    values_[i] = Platform::DecodeName(Unquote(line.sliced(parsed.valueBegin).trimmed()));
    --missing_;
  }
}

QList<std::optional<QString>> ProfileValues(QByteArrayView text, const QString& section, const QStringList& keys) {
  ProfileReader reader(section, keys);
  ForEachLine(text, 0, [&](const Line& line) {
    reader.addLine(text.sliced(line.begin, line.end - line.begin));
    return !reader.finished();
  });
  return reader.values();
}

std::optional<QString> ProfileValue(QByteArrayView text, const QString& section, const QString& key) {
  return ProfileValues(text, section, {key}).front();
}

std::optional<QByteArray> WithProfileValues(QByteArrayView text, const QString& section,
                                            const QList<ProfileEntry>& entries) {
  const std::optional<QByteArray> sectionBytes = NameBytes(section);
  if (!sectionBytes || section.contains(u']')) return std::nullopt;
  struct Edit {
    qsizetype begin = -1;  // -1: the key is not in the file yet
    qsizetype end = -1;
    QByteArray bytes;
  };
  QList<Edit> edits;
  QList<QByteArray> keyBytes;
  QList<ProfileEntry> unique;
  for (const ProfileEntry& entry : entries) {
    // A key given twice: the later value wins, as it would written one after the other.
    const auto same = std::find_if(unique.begin(), unique.end(), [&](const ProfileEntry& e) {
      return e.key.compare(entry.key, Qt::CaseInsensitive) == 0;
    });
    if (same != unique.end())
      same->value = entry.value;
    else
      unique.append(entry);
  }
  for (const ProfileEntry& entry : unique) {
    const std::optional<QByteArray> key = NameBytes(entry.key);
    const std::optional<QByteArray> value = ValueBytes(entry.value);
    if (!key || !value || key->contains('=') || key->startsWith(';') || key->startsWith('[')) return std::nullopt;
    keyBytes.append(*key);
    edits.append({-1, -1, *value});
  }

  // Where each key's value is, and where a new key would go: after the section's last key or bare line.
  bool haveSection = false;
  qsizetype insertAt = -1;
  bool lastLineUnended = false;
  ForEachLine(text, text.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0, [&](const Line& line) {
    const QByteArrayView lineText = text.sliced(line.begin, line.end - line.begin);
    const ParsedLine parsed = ParseLine(lineText);
    if (parsed.kind == LineKind::Section) {
      if (haveSection) return false;
      haveSection = SameName(parsed.name, section);
      if (!haveSection) return true;
    } else if (parsed.kind == LineKind::Other || !haveSection) {
      return true;
    }
    insertAt = line.next;
    lastLineUnended = line.next == line.end;
    if (parsed.kind != LineKind::Key) return true;
    const QString name = Platform::DecodeName(parsed.name);
    for (qsizetype i = 0; i < unique.size(); ++i) {
      if (edits[i].begin >= 0 || name.compare(unique[i].key, Qt::CaseInsensitive) != 0) continue;
      edits[i].begin = line.begin + parsed.valueBegin;
      edits[i].end = line.end;
    }
    return true;
  });

  const QByteArray eol = text.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
  QByteArray added;
  for (qsizetype i = 0; i < edits.size(); ++i)
    if (edits[i].begin < 0) added += keyBytes[i] + '=' + edits[i].bytes + eol;
  edits.removeIf([](const Edit& e) { return e.begin < 0; });
  if (haveSection && !added.isEmpty())
    edits.append({insertAt, insertAt, (lastLineUnended ? eol : QByteArray()) + added});
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });

  qsizetype size = text.size() + sectionBytes->size() + added.size() + 8;
  for (const Edit& e : edits) size += e.bytes.size();
  QByteArray out;
  out.reserve(size);
  qsizetype pos = 0;
  for (const Edit& e : edits) {
    out.append(text.sliced(pos, e.begin - pos)).append(e.bytes);
    pos = e.end;
  }
  out.append(text.sliced(pos));
  if (!haveSection && !added.isEmpty()) {
    if (!text.isEmpty() && !text.endsWith('\n')) out += eol;
    out += '[' + *sectionBytes + ']' + eol + added;
  }
  return out;
}

bool IsWritable(const QString& section, const ProfileEntry& entry) {
  return WithProfileValues({}, section, {entry}).has_value();
}

std::optional<QByteArray> WithProfileValue(QByteArrayView text, const QString& section, const QString& key,
                                           const QString& value) {
  return WithProfileValues(text, section, {{key, value}});
}

}  // namespace Commands
