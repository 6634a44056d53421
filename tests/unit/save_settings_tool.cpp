// SPDX-License-Identifier: GPL-3.0-or-later
// Saves key=value pairs into the settings file as the program does at close, one write a key. Exit code 0
// when every write succeeded.
#include <QString>
#include <cstring>

#include "platform/private_profile.h"

int main(int argc, char* argv[]) {
  if (argc < 2) return 2;
  bool all = true;
  for (int i = 2; i < argc; ++i) {
    const char* eq = std::strchr(argv[i], '=');
    if (!eq) return 2;
    all = Platform::WriteProfileString(QStringLiteral("Divuvadi Foldwarn"), QString::fromUtf8(argv[i], eq - argv[i]),
                                       QString::fromUtf8(eq + 1), QString::fromLocal8Bit(argv[1])) &&
          all;
  }
  return all ? 0 : 1;
}
