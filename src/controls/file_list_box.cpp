// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_list_box.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

#include "platform/file_name.h"
#include "platform/folder_list.h"
#include "platform/paths.h"

namespace Controls {
namespace {

// The name as the file system holds it; the entry's text is what the screen can show of it.
constexpr int NameRole = Qt::UserRole;

// Appends the folder's files whose names match one of the patterns (all of them without a pattern).
bool ListMatching(const QString& folder, const QList<QRegularExpression>& patterns, QStringList& names) {
  // Matched as shown: a kept byte is no character a pattern could name.
  const auto matches = [&](const QString& name) {
    const QString shown = Platform::DisplayName(name);
    return patterns.isEmpty() || std::any_of(patterns.cbegin(), patterns.cend(),
                                             [&](const QRegularExpression& p) { return p.match(shown).hasMatch(); });
  };
  return Platform::ListFolder(
      folder, Platform::EntryKind::File, std::numeric_limits<qsizetype>::max(), [] { return false; },
      [&](const Platform::NameList& batch) {
        for (qsizetype i = 0; i < batch.size(); ++i) {
          if (const QString name = batch.name(i); matches(name)) names.append(name);
        }
      });
}

}  // namespace

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
  QList<QRegularExpression> patterns;
  for (const QString& one : pattern.split(u';', Qt::SkipEmptyParts))
    patterns.append(QRegularExpression::fromWildcard(one, Qt::CaseInsensitive));
  // Regular files and links to them only: no dot files, no pipes, sockets or devices.
  QStringList names;
  if (!ListMatching(folder, patterns, names)) return std::nullopt;
  if (!extraFolder.isEmpty() && ListMatching(extraFolder, patterns, names)) {
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
  for (const QString& name : names) {
    auto* entry = new QListWidgetItem(Platform::DisplayName(name), this);
    entry->setData(NameRole, name);
  }
}

QItemSelectionModel::SelectionFlags FileListBox::selectionCommand(const QModelIndex& index, const QEvent* event) const {
  // A chosen entry stays chosen: a click beside the entries, or with Ctrl on the chosen one, would leave the list
  // showing no tone while that tone still plays.
  const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
  if (!index.isValid() || !command.testFlag(QItemSelectionModel::Select)) return QItemSelectionModel::NoUpdate;
  return command;
}

QString FileListBox::selectedFileName() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? QString() : selected.first()->data(NameRole).toString();
}

QString FileListBox::fileName(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry ? entry->data(NameRole).toString() : QString();
}

}  // namespace Controls
