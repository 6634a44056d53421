// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <QCoreApplication>

#include "commands.h"

namespace Commands {
namespace {

QString& ProgramFileOverride() {
  static QString file;
  return file;
}

}  // namespace

QString ProgramFile() {
  if (!ProgramFileOverride().isEmpty()) return ProgramFileOverride();
  return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

void SetProgramFileForTesting(const QString& programFile) { ProgramFileOverride() = programFile; }

QString AddBackslash(QString& path) {
  if (!path.endsWith(Platform::Separator)) path += Platform::Separator;
  return path;
}

bool FolderExists(const QString& path) {
  // An empty path names the root, as the current drive's root does on Windows.
  return Platform::IsListableFolder(path.isEmpty() ? QString(Platform::Separator) : path);
}

bool FileExists(const QString& path) { return Platform::CanOpenFileForReading(path); }

QString GetLongPath(const QString& path) { return path.isEmpty() ? path : Platform::LongPathName(path); }

}  // namespace Commands
