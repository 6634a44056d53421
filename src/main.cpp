// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "startup/command_line.h"
#include "startup/startup.h"

int main(int argc, char* argv[]) {
  // --help and --version answer before Qt needs a display.
  if (const std::optional<int> code = Commands::AnswerCommandLine(argc, argv)) return *code;
  QApplication app(argc, argv);
  Commands::Main();
  return app.exec();
}
