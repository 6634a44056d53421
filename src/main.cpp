// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <memory>

#include "forms/form1.h"
#include "platform/autostart.h"
#include "startup/command_line.h"
#include "startup/startup.h"

using namespace Qt::StringLiterals;

namespace {

// Qt Gui looks into the runtime folder while it starts and says on standard error each time that XDG_RUNTIME_DIR
// is not set; the lock has its own private folder then, so the notice is noise. Qt's handler is a plain function:
// the one it replaces is kept here to pass everything else on.
QtMessageHandler PreviousMessageHandler = nullptr;

void DropRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"_L1)) return;
  if (PreviousMessageHandler) PreviousMessageHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
  PreviousMessageHandler = qInstallMessageHandler(DropRuntimeFolderNotice);
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
