// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <cstdio>
#include <string_view>

#include "platform/autostart.h"

namespace Commands {
namespace {

constexpr char Usage[] = "Aufruf: foldwarn [--help | --version | --autostart on|off]\n";

int SwitchAutostart(const char* value) {
  const std::string_view wanted = value ? value : "";
  if (wanted != "on" && wanted != "off") {
    std::fputs(Usage, stderr);
    return 2;
  }
  QString error;
  if (!Platform::SetAutostart(wanted == "on", Platform::RunningProgramFile(), &error)) {
    std::fprintf(stderr, "foldwarn: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}

}  // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg(argv[i]);
    if (arg == "--version" || arg == "-V") {
      std::fputs("foldwarn " FOLDWARN_VERSION "\n", stdout);
      return 0;
    }
    if (arg == "--help" || arg == "-h") {
      std::fputs(Usage, stdout);
      std::fputs(
          "Überwacht einen Ordner und spielt einen Ton, wenn die Zahl der Dateien darin steigt oder fällt.\n"
          "\n"
          "  -h, --help              diese Hilfe zeigen und beenden\n"
          "  -V, --version           die Version zeigen und beenden\n"
          "  --autostart on|off      mit der Sitzung starten oder nicht mehr: legt\n"
          "                          $XDG_CONFIG_HOME/autostart/foldwarn.desktop an oder löscht es\n"
          "\n"
          "Einstellungen: foldwarn.ini im Programmordner, wenn er beschreibbar ist, sonst\n"
          "$XDG_CONFIG_HOME/foldwarn/foldwarn.ini; eigene Töne (*.wav) in $XDG_DATA_HOME/foldwarn/.\n",
          stdout);
      return 0;
    }
    if (arg == "--autostart") return SwitchAutostart(i + 1 < argc ? argv[i + 1] : nullptr);
  }
  return std::nullopt;
}

}  // namespace Commands
