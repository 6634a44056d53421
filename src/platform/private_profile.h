// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The private-profile ("ini") file of the Windows kind: [section] headers and key=value lines.
namespace Platform {

// The value of key in section, or nothing when the file, the section or the key is missing.
// Section and key are found without regard to case; the first match wins.
std::optional<QString> ReadProfileString(const QString& section, const QString& key, const QString& file);

// Creates or replaces the key's value. Everything else in the file stays byte for byte.
// Returns false, with the file untouched, when the write cannot be made.
bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file);

}  // namespace Platform
