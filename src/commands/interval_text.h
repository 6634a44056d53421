// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>
#include <QtGlobal>
#include <optional>

namespace Commands {

// The number a text starts with, read the classic way: blanks, tabs and line feeds are skipped wherever they
// stand; an optional sign, digits, "." and an exponent ("e"/"E", optional sign, digits) are understood; the
// first other character ends the number. A text that does not start with a number gives 0.
double LeadingNumber(QStringView text);

// The stored check interval: a number of seconds from 1 to 60 after rounding, or nothing.
std::optional<qint16> IntervalFromText(QStringView text);

}  // namespace Commands
