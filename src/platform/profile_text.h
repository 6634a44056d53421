// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The text of a private-profile ("ini") file of the Windows kind: [section] headers and key=value lines,
// handled as bytes so that an edit keeps every byte it does not replace (comments, unknown lines, line
// endings, even invalid UTF-8). Only section names, keys and values are decoded, as UTF-8. No disk here.
namespace Platform {

// The value of key in section, or nothing when the section or the key is missing. Section and key are found
// without regard to case; the first match wins.
std::optional<QString> ProfileValue(const QByteArray& text, const QString& section, const QString& key);

// The text with the key's value created or replaced; nothing when the names or the value would not read back
// as written.
std::optional<QByteArray> WithProfileValue(QByteArray text, const QString& section, const QString& key,
                                           const QString& value);

}  // namespace Platform
