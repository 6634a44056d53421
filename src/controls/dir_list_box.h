#pragma once

#include <QListWidget>
#include <QString>

namespace Controls {

// The classic directory list: the opened folder's ancestors from the root down, the opened folder, then its
// subfolders, each indented one step deeper than the one above. Double-click or Enter opens an entry; a
// single click only highlights it.
class DirListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit DirListBox(QWidget* parent = nullptr);

  // The opened folder in native form, without trailing separator except at the root.
  QString path() const;
  // Opens a folder; signals changed() when the opened folder is another one. A path that is no folder is
  // refused (false, nothing changes). A folder that cannot be listed opens with no subfolders.
  bool setPath(const QString& folder);
  // Re-reads the opened folder's subfolders.
  void refresh();

  // The folder an entry stands for.
  QString entryPath(int row) const;
  // Row of the opened folder.
  int openedRow() const { return openedRow_; }

 signals:
  void changed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void openEntry(QListWidgetItem* entry);
  void fill();

  QString path_;  // clean, with "/" separators
  int openedRow_ = -1;
};

}  // namespace Controls
