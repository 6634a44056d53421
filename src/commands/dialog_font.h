// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

namespace Commands {

// The default dialog font the windows are designed for: every caption of the fixed layout fits in it.
QFont DialogFont();

}  // namespace Commands
