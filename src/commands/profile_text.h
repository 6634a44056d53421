// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The text of a private-profile ("ini") file of the Windows kind: [section] headers and key=value lines,
// handled as bytes so that an edit keeps every byte it does not replace (comments, unknown lines, line
// endings, even invalid UTF-8). Section names, keys and values are file-name text (Platform::DecodeName), so a
// stored path keeps its bytes. No disk here.
namespace Commands {

struct ProfileEntry {
  QString key;
  QString value;
};

// Looks up several keys of one section in a single pass over the text, fed line by line, so that a file is
// read once and never held whole. Section and key are found without regard to case; the first match wins.
class ProfileReader {
 public:
  ProfileReader(const QString& section, const QStringList& keys);

  // One line, with or without its line ending.
  void addLine(QByteArrayView line);
  // Nothing later in the text can change the answer.
  bool finished() const { return passedSection_ || missing_ == 0; }
  // Per key: its value, or nothing when the section or the key is missing.
  const QList<std::optional<QString>>& values() const { return values_; }

 private:
  QString section_;
  QStringList keys_;
  QList<std::optional<QString>> values_;
  qsizetype missing_ = 0;
  bool firstLine_ = true;
  bool inSection_ = false;
  bool passedSection_ = false;
};

QList<std::optional<QString>> ProfileValues(QByteArrayView text, const QString& section, const QStringList& keys);
std::optional<QString> ProfileValue(QByteArrayView text, const QString& section, const QString& key);

// The text with each key's value created or replaced, in one pass, as if written one after the other: a key
// found keeps its place and spelling, a new one goes at the end of its section, a new section at the end.
// Nothing when a name or a value would not read back as written.
std::optional<QByteArray> WithProfileValues(QByteArrayView text, const QString& section,
                                            const QList<ProfileEntry>& entries);
// Whether WithProfileValues takes the entry.
bool IsWritable(const QString& section, const ProfileEntry& entry);
std::optional<QByteArray> WithProfileValue(QByteArrayView text, const QString& section, const QString& key,
                                           const QString& value);

}  // namespace Commands
