// Temporary start routine: the real one replaces this file.
#include "commands.h"

#include <QWidget>

namespace Commands {
void Main() {
  InitProgramFolders();
  InitSettingsFile();
  auto* window = new QWidget;
  window->setWindowTitle(SettingsSection);
  window->resize(381, 264);
  window->show();
}
}  // namespace Commands
