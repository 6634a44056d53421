// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_list_box.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

#include "controls/name_list.h"
#include "platform/file_name.h"
#include "platform/paths.h"

namespace Controls {
namespace {

// The name as the file system holds it; the entry's text is what the screen can show of it.
constexpr int NameRole = Qt::UserRole;

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
  if (!Platform::IsListableFolder(folder)) return std::nullopt;
  QList<QRegularExpression> patterns;
  for (const QString& one : pattern.split(u';', Qt::SkipEmptyParts))
    patterns.append(QRegularExpression::fromWildcard(one, Qt::CaseInsensitive));
  // Regular files and links to them, no dot files: never pipes, sockets or devices.
  NameList matching;
  const auto keep = [&](const NameList& batch) {
    for (qsizetype i = 0; i < batch.size(); ++i) {
      // Matched as shown: a kept byte is no character a pattern could name.
      const QString name = Platform::DisplayName(batch.name(i));
      if (patterns.isEmpty() ||
          std::any_of(patterns.begin(), patterns.end(), [&](const auto& p) { return p.match(name).hasMatch(); }))
        matching.append(batch.raw(i));
    }
  };
  const auto never = [] { return false; };
  if (!ListFolder(folder, Platform::EntryKind::File, 1 << 30, never, keep)) return std::nullopt;
  if (!extraFolder.isEmpty() && Platform::IsListableFolder(extraFolder))
    ListFolder(extraFolder, Platform::EntryKind::File, 1 << 30, never, keep);
  std::vector<QByteArrayView> order;
  for (qsizetype i = 0; i < matching.size(); ++i) order.push_back(matching.raw(i));
  std::sort(order.begin(), order.end(), NameLess);
  order.erase(std::unique(order.begin(), order.end()), order.end());
  QStringList names;
  for (const QByteArrayView name : order) names.append(Platform::DecodeName(name));
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
