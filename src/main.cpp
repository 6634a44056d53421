// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <memory>

#include "forms/form1.h"
#include "startup/command_line.h"
#include "startup/startup.h"

int main(int argc, char* argv[]) {
  // The switches and a wrong argument answer before Qt needs a display.
  const Commands::CommandLine commandLine = Commands::ReadCommandLine(argc, argv);
  if (commandLine.exitCode) return *commandLine.exitCode;
  QApplication app(argc, argv);
  int secondStartExit = 0;
  std::unique_ptr<Form1> form =
      Commands::Main(QCoreApplication::applicationFilePath(), commandLine.folder, &secondStartExit);
  if (!form) return secondStartExit;
  const int exitCode = app.exec();
  form.reset();
  Commands::EndProcess(exitCode);
}
