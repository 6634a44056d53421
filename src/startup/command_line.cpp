// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "commands/commands.h"
#include "platform/autostart.h"
#include "platform/file_name.h"
#include "platform/paths.h"

namespace Commands {
namespace {

constexpr char Usage[] = "Aufruf: foldwarn [--help | --version | --autostart on|off | ORDNER]\n";

// Qt's own options, in the forms QApplication takes them ("-style" or "--style"): a session manager restarts
// the program with "-session <id>".
constexpr std::string_view QtOptionsWithValue[] = {"display",         "geometry",           "icon",          "name",
                                                   "platform",        "platformpluginpath", "platformtheme", "plugin",
                                                   "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
                                                   "style",           "stylesheet",         "title"};
constexpr std::string_view QtSwitches[] = {"dograb", "nograb", "reverse", "widgetcount"};

bool IsOneOf(std::string_view name, const auto& names) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// One line saying what is wrong, with the argument's bytes as given, then the usage.
CommandLine Refuse(const char* what, std::string_view argument) {
  std::fprintf(stderr, "foldwarn: %s%.*s\n", what, int(argument.size()), argument.data());
  std::fputs(Usage, stderr);
  return {2, {}};
}

int SwitchAutostart(bool on) {
  QString error;
  if (!Platform::SetAutostart(on, Platform::RunningProgramFile(), &error)) {
    std::fprintf(stderr, "foldwarn: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}

void PrintHelp() {
  std::fputs(Usage, stdout);
  std::fputs(
      "Überwacht einen Ordner und spielt einen Ton, wenn die Zahl der Dateien darin steigt oder fällt.\n"
      "\n"
      "  ORDNER                  diesen Ordner überwachen statt des zuletzt gewählten; läuft Foldwarn\n"
      "                          schon, wechselt es dorthin\n"
      "  -h, --help              diese Hilfe zeigen und beenden\n"
      "  -V, --version           die Version zeigen und beenden\n"
      "  --autostart on|off      mit der Sitzung starten oder nicht mehr: legt\n"
      "                          $XDG_CONFIG_HOME/autostart/foldwarn.desktop an oder löscht es\n"
      "\n"
      "Einstellungen: foldwarn.ini im Programmordner, wenn er beschreibbar ist, sonst\n"
      "$XDG_CONFIG_HOME/foldwarn/foldwarn.ini; eigene Töne (*.wav) in $XDG_DATA_HOME/foldwarn/.\n",
      stdout);
}

}  // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv) {
  std::optional<bool> autostart;
  std::vector<std::string_view> folders;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg(argv[i]);
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      folders.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // Every option that takes a value takes it as the next argument or after "=", as GNU programs do.
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const bool attached = equals != std::string_view::npos;
    if (name == "--version" || name == "-V" || name == "--help" || name == "-h") {
      if (attached) return Refuse("diese Option nimmt keinen Wert: ", arg);
      if (name == "--version" || name == "-V") {
        std::fputs("foldwarn " FOLDWARN_VERSION "\n", stdout);
      } else {
        PrintHelp();
      }
      return {0, {}};
    }
    if (name == "--autostart") {
      const std::string_view value = attached ? arg.substr(equals + 1) : i + 1 < argc ? argv[++i] : "";
      if (value.empty()) return Refuse("--autostart erwartet on oder off", value);
      if (value != "on" && value != "off") return Refuse("--autostart erwartet on oder off, nicht: ", value);
      autostart = value == "on";
      continue;
    }
    const std::string_view bare = name.substr(name.starts_with("--") ? 2 : 1);
    if (!attached && IsOneOf(bare, QtOptionsWithValue)) {
      if (++i == argc) return Refuse("diese Option erwartet einen Wert: ", arg);
      continue;
    }
    if (attached ? IsOneOf(bare, QtOptionsWithValue) : IsOneOf(bare, QtSwitches)) continue;
    return Refuse("unbekannte Option: ", arg);
  }
  if (folders.size() > 1) return Refuse("nur ein Ordner, nicht auch: ", folders[1]);
  if (autostart && !folders.empty()) return Refuse("--autostart öffnet keinen Ordner: ", folders[0]);
  if (autostart) return {SwitchAutostart(*autostart), {}};
  if (folders.empty()) return {};
  QString folder = Platform::AbsolutePath(Platform::DecodeName(folders[0]));
  if (folders[0].empty() || !Platform::IsFolder(folder)) return Refuse("kein Ordner: ", folders[0]);
  // Written as the picker writes a chosen folder.
  AddBackslash(folder);
  return {std::nullopt, folder};
}

}  // namespace Commands
