// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QThread;

namespace Watch {

// One answer of the worker.
struct Answer {
  QString folder;
  quint64 generation = 0;       // which folder setting it answers
  std::optional<qint64> count;  // nothing: the folder cannot be read now
  bool read = false;            // false when an unchanged folder kept its last count
};

// Reads the watched folder on a thread of its own, so that the window never waits for a folder: a slow or
// hung file system delays the answer, not the window. One count at a time.
class FolderWatch : public QObject {
  Q_OBJECT
 public:
  explicit FolderWatch(QObject* parent = nullptr);
  // Never waits for a count that hangs: the thread is left to end by itself.
  ~FolderWatch() override;

  // The folder counted from now on. An answer for an earlier one is dropped, and this one is counted then.
  void setFolder(const QString& folder);
  QString folder() const { return folder_; }

  // Asks for a count of the folder. False, and nothing asked, while a count still runs.
  bool ask();
  bool busy() const { return busy_; }

 signals:
  // The answer for the folder set now.
  void answered(const Watch::Answer& answer);

 private:
  void take(const Watch::Answer& answer);

  QThread* thread_;
  QObject* worker_;
  QString folder_;
  quint64 generation_ = 0;
  bool busy_ = false;
};

}  // namespace Watch
