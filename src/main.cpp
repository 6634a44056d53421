// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <memory>

#include "forms/form1.h"
#include "platform/autostart.h"
#include "startup/command_line.h"
#include "startup/startup.h"

int main(int argc, char* argv[]) {
  // The switches and a wrong argument answer before Qt needs a display.
  const Commands::CommandLine commandLine = Commands::ReadCommandLine(argc, argv);
  if (commandLine.exitCode) return *commandLine.exitCode;
  QApplication app(argc, argv);
  int secondStartExit = 0;
  // Its path by the bytes: Qt's own answer would turn a byte that is no character into another.
  std::unique_ptr<Form1> form = Commands::Main(Platform::RunningProgramFile(), commandLine.folder, &secondStartExit);
  if (!form) return secondStartExit;
  const int exitCode = app.exec();
  form.reset();
  Commands::EndProcess(exitCode);
}
