// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// File names are bytes on this system, and old shares, archives and USB sticks hold names that are not UTF-8.
// These turn them into the program's text and back without losing a byte; every path handed to the system goes
// through EncodeName.
namespace Platform {

// UTF-8 decoded; each byte that is not part of valid UTF-8 is kept as a lone surrogate U+DC80-U+DCFF.
QString DecodeName(QByteArrayView bytes);

// The bytes DecodeName was given. Nothing for text that names no file here: empty, holding a NUL, or holding a
// lone surrogate that no byte gave.
std::optional<QByteArray> EncodeName(const QString& text);

// As shown on screen: each kept byte reads as the replacement character.
QString DisplayName(const QString& text);

}  // namespace Platform
