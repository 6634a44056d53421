// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <memory>

#include "forms/form1.h"
#include "platform/autostart.h"
#include "startup/command_line.h"
#include "startup/startup.h"

int main(int argc, char* argv[]) {
  // --help and --version answer before Qt needs a display.
  if (const std::optional<int> code = Commands::AnswerCommandLine(argc, argv)) return *code;
  QApplication app(argc, argv);
  // Its path by the bytes: Qt's own answer would turn a byte that is no character into another.
  std::unique_ptr<Form1> form = Commands::Main(Platform::RunningProgramFile());
  if (!form) return 0;
  const int exitCode = app.exec();
  form.reset();
  Commands::EndProcess(exitCode);
}
