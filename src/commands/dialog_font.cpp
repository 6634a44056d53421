// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_font.h"

namespace Commands {

// Liberation Sans is metric-compatible with Arial, close to the classic dialog font; "Sans Serif" narrows to
// whatever sans face fontconfig has when it is missing.
QFont DialogFont() {
  QFont font(QStringLiteral("Liberation Sans"), 8);
  font.setFamilies(
      QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace Commands
