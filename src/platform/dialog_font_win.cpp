#include "dialog_font.h"

namespace Platform {

QFont DialogFont() { return QFont(QStringLiteral("MS Shell Dlg 2"), 8); }

}  // namespace Platform
