// SPDX-License-Identifier: GPL-3.0-or-later
// Private-profile files without the Windows API: the text is edited as bytes (profile_text.h) and written whole
// with the crash-safe replace (platform/file_replace.h).
#include "private_profile.h"

#include <cerrno>

namespace Commands {

ProfileRead ReadProfileStrings(const QString& section, const QStringList& keys, const QString& file) {
  ProfileReader reader(section, keys);
  QByteArray carry;  // a line that goes on in the next piece
  bool started = false;
  const int error = Platform::ReadFileInPieces(file, MaxProfileSize, [&](QByteArrayView piece) {
    for (qsizetype pos = 0; pos < piece.size();) {
      // An empty line changes nothing past the first (ProfileReader).
      if (started && carry.isEmpty() && piece[pos] == '\n') {
        ++pos;
        continue;
      }
      started = true;
      const qsizetype nl = piece.indexOf('\n', pos);
      if (nl < 0) {
        carry.append(piece.sliced(pos));
        break;
      }
      if (carry.isEmpty()) {
        reader.addLine(piece.sliced(pos, nl - pos));
      } else {
        carry.append(piece.sliced(pos, nl - pos));
        reader.addLine(carry);
        carry.clear();
      }
      pos = nl + 1;
      if (reader.finished()) return false;
    }
    return true;
  });
  if (error != 0) return {QList<std::optional<QString>>(keys.size()), error == EFBIG};
  if (!carry.isEmpty()) reader.addLine(carry);
  return {reader.values(), false};
}

std::optional<QString> ReadProfileString(const QString& section, const QString& key, const QString& file) {
  return ReadProfileStrings(section, {key}, file).values.front();
}

Platform::WriteResult WriteProfileStrings(const QString& section, const QList<ProfileEntry>& entries,
                                          const QString& file) {
  const Platform::ChainEnd end = Platform::OwnChainEnd(file);
  if (end.problem.state != Platform::WriteState::Done) return end.problem;
  QByteArray text;
  if (end.exists) {
    // The text of the file that will be replaced, not of a link put in its place since the look.
    const int error = Platform::ReadFileInPieces(
        end.file, MaxProfileSize,
        [&](QByteArrayView piece) {
          text.append(piece);
          return true;
        },
        false);
    if (error != 0) return {Platform::WriteState::Failed, error};  // never replace a file we could not read whole
  }
  const std::optional<QByteArray> edited = WithProfileValues(text, section, entries);
  if (!edited) return {Platform::WriteState::Failed, EINVAL};
  text.clear();  // the old text's memory is not needed beside the new one during the write
  return Platform::ReplaceFileContents(end.file, *edited);
}

bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file) {
  return WriteProfileStrings(section, {{key, value}}, file).state == Platform::WriteState::Done;
}

}  // namespace Commands
