// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>
#include <QString>

#include "jobs/background.h"

namespace Controls {

// The classic directory list: the opened folder's ancestors from the root down, the opened folder, then its
// subfolders, each indented one step deeper than the one above. Double-click or Enter opens an entry; a
// single click only highlights it. The subfolders are read on a thread of their own: the ancestors and the
// opened folder show at once, the subfolders when they have been read.
class DirListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit DirListBox(QWidget* parent = nullptr);

  // The opened folder in native form, without trailing separator except at the root.
  QString path() const;
  // Opens a folder by its name, without waiting for the disk; signals changed() when the opened folder is another
  // one. An empty path is refused (false). A folder that cannot be listed (gone, no folder, denied) opens with no
  // subfolders.
  bool setPath(const QString& folder);
  // Re-reads the opened folder's subfolders; the ones shown stay until the new ones have been read.
  void refresh();
  // True while the opened folder's subfolders are being read.
  bool isFilling() const { return filling_; }

  // The folder an entry stands for.
  QString entryPath(int row) const;
  // Row of the opened folder.
  int openedRow() const { return openedRow_; }

 signals:
  void changed();
  // The subfolders have been read (or the folder could not be).
  void filled();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void openEntry(QListWidgetItem* entry);
  void fill();
  void readSubfolders();
  void showSubfolders(const QStringList& names);

  QString path_;  // clean, with "/" separators
  int openedRow_ = -1;
  bool filling_ = false;
  Jobs::Background read_;
};

}  // namespace Controls
