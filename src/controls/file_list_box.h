// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>
#include <QString>
#include <optional>

namespace Controls {

// The classic file list: the regular, non-hidden files of one folder whose names match a pattern,
// sorted by name without regard to case. Folders, dot files and special files are never listed.
class FileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit FileListBox(QWidget* parent = nullptr);

  // Patterns separated by ";" ("*.wav"), matched without regard to case; empty lists every file.
  void setPattern(const QString& pattern);
  QString pattern() const { return pattern_; }

  // Points the list at a folder and reads it. A folder that cannot be listed is refused: the list keeps
  // its folder and entries, and the answer is false.
  bool setPath(const QString& folder);
  QString path() const { return path_; }

  // A second folder whose matching files are listed with the path's, in the same sorted list, a name in
  // both once (the user's own tones beside the program's). A folder that is missing adds nothing.
  void setExtraFolder(const QString& folder);
  QString extraFolder() const { return extraFolder_; }

  // Re-reads the folder; false (entries kept) when it cannot be read now.
  bool refresh();
  // What the list would show for a folder, an extra folder and a pattern, read without the list: safe on any
  // thread. Nothing when the folder cannot be listed.
  static std::optional<QStringList> readNames(const QString& folder, const QString& extraFolder,
                                              const QString& pattern);
  // Shows names read elsewhere (readNames) as the folder's entries.
  void showNames(const QString& folder, const QStringList& names);

  QString fileName(int index) const;
  // The selected entry's name, empty when nothing is selected.
  QString selectedFileName() const;

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;

 private:
  QString path_;
  QString pattern_;
  QString extraFolder_;
};

}  // namespace Controls
