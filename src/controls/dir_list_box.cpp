#include "dir_list_box.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

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

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
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
  const QString clean = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
  if (!QFileInfo(clean).isDir()) return false;
  if (clean == path_) return true;
  path_ = clean;
  fill();
  emit changed();
  return true;
}

void DirListBox::refresh() {
  if (!path_.isEmpty()) fill();
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
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  auto add = [this](const QIcon& icon, const QString& text, const QString& folder, int level) {
    auto* entry = new QListWidgetItem(icon, text, this);
    entry->setData(PathRole, QDir::toNativeSeparators(folder));
    entry->setData(LevelRole, level);
  };

  // The chain from the root down to the opened folder; the root keeps its separator.
  QStringList chain;
  for (QDir dir(path_);;) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) break;
  }
  int level = 0;
  for (const QString& folder : chain) {
    const QString name = QFileInfo(folder).fileName();
    add(openIcon, name.isEmpty() ? QDir::toNativeSeparators(folder) : name, folder, level++);
  }
  openedRow_ = count() - 1;

  // Without QDir::Hidden: dot folders stay out, as the file lists leave dot files out. Unreadable: empty.
  const QDir opened(path_);
  const QStringList subfolders = opened.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& name : subfolders) add(closedIcon, name, opened.filePath(name), level);

  setCurrentRow(openedRow_);
}

}  // namespace Controls
