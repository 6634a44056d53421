// SPDX-License-Identifier: GPL-3.0-or-later
// Qt Gui looks into the runtime folder while it starts and says on standard error each time that
// XDG_RUNTIME_DIR is not set; the lock has its own private folder then, so the notice is noise. Installed
// before main, so it is linked into every program as an object of its own, never left in the archive.
#include <QString>
#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace {

QtMessageHandler PreviousMessageHandler = nullptr;

void DropRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"_L1)) return;
  if (PreviousMessageHandler) PreviousMessageHandler(type, context, message);
}

void InstallMessageFilter() { PreviousMessageHandler = qInstallMessageHandler(DropRuntimeFolderNotice); }
Q_CONSTRUCTOR_FUNCTION(InstallMessageFilter)

}  // namespace
