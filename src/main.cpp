// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <memory>

#include "forms/form1.h"
#include "startup/command_line.h"
#include "startup/startup.h"

int main(int argc, char* argv[]) {
  // --help and --version answer before Qt needs a display.
  if (const std::optional<int> code = Commands::AnswerCommandLine(argc, argv)) return *code;
  QApplication app(argc, argv);
  std::unique_ptr<Form1> form = Commands::Main(QCoreApplication::applicationFilePath());
  if (!form) return 0;
  const int exitCode = app.exec();
  form.reset();
  Commands::EndProcess(exitCode);
}
