// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "commands/profile_text.h"
#include "platform/file_replace.h"

// The private-profile ("ini") file of the Windows kind: [section] headers and key=value lines.
namespace Commands {

// Larger files are neither read nor written: nobody writes a settings file that size, and a save holds the
// file twice in memory.
inline constexpr qint64 MaxProfileSize = 64LL * 1024 * 1024;

struct ProfileRead {
  QList<std::optional<QString>> values;  // per key; nothing where the file, the section or the key is missing
  bool tooLarge = false;                 // over MaxProfileSize: nothing was read
};

// The keys' values from one pass over the file, read piece by piece: memory stays small whatever its size.
// Section and key are found without regard to case; the first match wins.
ProfileRead ReadProfileStrings(const QString& section, const QStringList& keys, const QString& file);
std::optional<QString> ReadProfileString(const QString& section, const QString& key, const QString& file);

// Creates or replaces each key's value in the text and replaces the file once. Everything else in the file stays
// byte for byte. The file is written only where the user owns it and every link on the way to it
// (Platform::OwnChainEnd); foreign otherwise, the file untouched, as it is when the write fails.
Platform::WriteResult WriteProfileStrings(const QString& section, const QList<ProfileEntry>& entries,
                                          const QString& file);
bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file);

}  // namespace Commands
