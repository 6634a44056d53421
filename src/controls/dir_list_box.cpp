// SPDX-License-Identifier: GPL-3.0-or-later
#include "dir_list_box.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <memory>

#include "controls/name_list.h"
#include "platform/file_name.h"

namespace Controls {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
constexpr int IndentPx = 8;

// Shifts each entry right by its depth; a list has no indentation of its own.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(shifted.rect.left() + index.data(LevelRole).toInt() * IndentPx);
    QStyledItemDelegate::paint(painter, shifted, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    return {size.width() + index.data(LevelRole).toInt() * IndentPx, size.height()};
  }
};

}  // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent), read_(this, Jobs::Background::Priority::Low) {
  setItemDelegate(new IndentDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);
  // itemActivated follows the style (some open on a single click); the classic list opens on double-click only.
  connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::openEntry);
}

QString DirListBox::path() const { return QDir::toNativeSeparators(path_); }

bool DirListBox::setPath(const QString& folder) {
  if (folder.isEmpty()) return false;
  // No look at the disk here: the folder may sit on a share that hangs. Whether it can be read shows when its
  // subfolders are read.
  const QString clean = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
  if (clean == path_) return true;
  path_ = clean;
  fill();
  emit changed();
  return true;
}

void DirListBox::refresh() {
  if (!path_.isEmpty()) readSubfolders();
}

QString DirListBox::entryPath(int row) const {
  const QListWidgetItem* entry = item(row);
  return entry ? entry->data(PathRole).toString() : QString();
}

void DirListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    openEntry(currentItem());
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

void DirListBox::openEntry(QListWidgetItem* entry) {
  if (entry) setPath(entry->data(PathRole).toString());
}

void DirListBox::fill() {
  clear();
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  // The chain from the root down to the opened folder, from the path alone: asking a hung share about its
  // parents would hang the window. The root keeps its separator.
  QStringList chain;
  for (QString folder = path_;; folder = QFileInfo(folder).path()) {
    chain.prepend(folder);
    if (folder == u"/" || QFileInfo(folder).path() == folder) break;
  }
  int level = 0;
  for (const QString& folder : chain) {
    const QString name = QFileInfo(folder).fileName();
    auto* entry = new QListWidgetItem(
        openIcon, Platform::DisplayName(name.isEmpty() ? QDir::toNativeSeparators(folder) : name), this);
    entry->setData(PathRole, QDir::toNativeSeparators(folder));
    entry->setData(LevelRole, level++);
  }
  openedRow_ = count() - 1;
  setCurrentRow(openedRow_);
  readSubfolders();
}

void DirListBox::readSubfolders() {
  filling_ = true;
  read_.start(path_, [this, folder = path_](const Jobs::Background::Ticket& ticket) {
    // Dot folders stay out, as the file lists leave dot files out. Unreadable: no subfolders.
    auto names = std::make_shared<QStringList>();
    ListFolder(
        folder, Platform::EntryKind::Folder, 4096, [&] { return ticket.stale(); },
        [&](const NameList& batch) {
          for (qsizetype i = 0; i < batch.size(); ++i) names->append(batch.name(i));
        });
    ticket.deliver([this, names] { showSubfolders(*names); });
  });
}

void DirListBox::showSubfolders(const QStringList& names) {
  const bool onSubfolder = currentRow() > openedRow_;
  while (count() > openedRow_ + 1) delete takeItem(count() - 1);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  const QDir opened(path_);
  for (const QString& name : names) {
    auto* entry = new QListWidgetItem(closedIcon, Platform::DisplayName(name), this);
    entry->setData(PathRole, QDir::toNativeSeparators(opened.filePath(name)));
    entry->setData(LevelRole, openedRow_ + 1);
  }
  if (onSubfolder) setCurrentRow(openedRow_);
  filling_ = false;
  emit filled();
}

}  // namespace Controls
