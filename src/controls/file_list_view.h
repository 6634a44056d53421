// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListView>
#include <QString>

#include "jobs/background.h"

namespace Controls {

// The file list for folders of any size: the regular, non-hidden files of one folder, sorted by name without
// regard to case, as FileListBox shows them. The folder is read on a thread of its own and the names are kept
// packed behind a model, so a million files cost neither a widget row each nor a wait of the window. Rows arrive
// in batches once the folder is read.
class FileListView : public QListView {
  Q_OBJECT
 public:
  static constexpr qsizetype DefaultBatchRows = 4096;

  explicit FileListView(QWidget* parent = nullptr);
  ~FileListView() override;

  // Points the list at a folder: it empties at once and fills when the folder is read. A folder that cannot be
  // read shows no files.
  void setPath(const QString& folder);
  QString path() const { return path_; }
  // Shows nothing and drops a read still running.
  void clear();
  // Names per batch, from the next setPath() on.
  void setBatchRows(qsizetype rows) { batchRows_ = qMax<qsizetype>(1, rows); }

  // True from setPath() until the last batch has arrived or the folder turned out unreadable.
  bool isFilling() const { return filling_; }
  qint64 listCount() const;
  QString fileName(int index) const;

 signals:
  void filled();

 private:
  class Names;
  Names* names_;
  Jobs::Background read_;
  QString path_;
  qsizetype batchRows_ = DefaultBatchRows;
  bool filling_ = false;
};

}  // namespace Controls
