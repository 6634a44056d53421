// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "jobs/background.h"
#include "watch/count_decision.h"
#include "watch/folder_reader.h"

namespace Watch {

// One answer of a check: what the reading gave, for the folder it read.
struct Answer : Reading {
  QString folder;
};

// Checks the watched folder off the window's thread, so that the window never waits for a folder: a slow or
// hung file system delays the answer, not the window. One check of a folder at a time; a folder set while a
// check of the one before hangs is checked at once by a fresh reader, and the hung check is left to end by
// itself, its answer dropped. A hung folder holds one thread, however often it is asked (Jobs::Background).
class FolderWatch : public QObject {
  Q_OBJECT
 public:
  explicit FolderWatch(QObject* parent = nullptr);
  ~FolderWatch() override;

  // The folder checked from now on, with a reader of its own: a check of an earlier one answers nothing more.
  void setFolder(const QString& folder);
  QString folder() const { return folder_; }

  // Starts a check of the folder. False, and nothing started, while a check of this folder still runs.
  bool startCheck();
  // True from a check's start until its answer was handed on.
  bool busy() const { return background_.busy(); }

 signals:
  // The answer for the folder set now.
  void answered(const Watch::Answer& answer);

 private:
  Jobs::Background background_;
  std::shared_ptr<FolderReader> reader_;  // shared with the check that runs
  QString folder_;
};

}  // namespace Watch
