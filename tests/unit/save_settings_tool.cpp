// SPDX-License-Identifier: GPL-3.0-or-later
// Saves key=value pairs into the settings file in one step, as the program does at close. Exit code 0 when the
// save succeeded.
#include <QString>
#include <cstring>

#include "commands/private_profile.h"

int main(int argc, char* argv[]) {
  if (argc < 2) return 2;
  QList<Commands::ProfileEntry> entries;
  for (int i = 2; i < argc; ++i) {
    const char* eq = std::strchr(argv[i], '=');
    if (!eq) return 2;
    entries.append({QString::fromUtf8(argv[i], eq - argv[i]), QString::fromUtf8(eq + 1)});
  }
  const Platform::WriteResult result =
      Commands::WriteProfileStrings(QStringLiteral("Divuvadi Foldwarn"), entries, QString::fromLocal8Bit(argv[1]));
  return result.state == Platform::WriteState::Done ? 0 : 1;
}
