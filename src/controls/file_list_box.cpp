// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_list_box.h"

#include <QDir>
#include <algorithm>

#include "platform/paths.h"

namespace Controls {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void FileListBox::setPattern(const QString& pattern) {
  pattern_ = pattern;
  refresh();
}

bool FileListBox::setPath(const QString& folder) {
  if (!Platform::IsListableFolder(folder)) return false;
  const QString before = path_;
  path_ = QDir::cleanPath(folder);
  if (refresh()) return true;
  path_ = before;  // gone between the two looks: keep the folder the entries came from
  return false;
}

void FileListBox::setExtraFolder(const QString& folder) {
  extraFolder_ = folder;
  refresh();
}

bool FileListBox::refresh() {
  if (path_.isEmpty()) return false;
  const std::optional<QStringList> names = readNames(path_, extraFolder_, pattern_);
  if (!names) return false;
  showNames(path_, *names);
  return true;
}

std::optional<QStringList> FileListBox::readNames(const QString& folder, const QString& extraFolder,
                                                  const QString& pattern) {
  if (!Platform::IsListableFolder(folder)) return std::nullopt;
  const QStringList patterns = pattern.isEmpty() ? QStringList() : pattern.split(u';', Qt::SkipEmptyParts);
  // Without QDir::Hidden and QDir::System: no dot files, no pipes, sockets or devices.
  QStringList names = QDir(folder).entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
  if (!extraFolder.isEmpty() && Platform::IsListableFolder(extraFolder)) {
    names += QDir(extraFolder).entryList(patterns, QDir::Files);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
      const int c = a.compare(b, Qt::CaseInsensitive);
      return c != 0 ? c < 0 : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
  }
  return names;
}

void FileListBox::showNames(const QString& folder, const QStringList& names) {
  path_ = QDir::cleanPath(folder);
  clear();
  addItems(names);
}

QString FileListBox::selectedFileName() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? QString() : selected.first()->text();
}

QString FileListBox::fileName(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry ? entry->text() : QString();
}

}  // namespace Controls
