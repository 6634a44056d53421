// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_list_view.h"

#include <QAbstractListModel>
#include <QDir>
#include <memory>

#include "controls/name_list.h"
#include "platform/file_name.h"

namespace Controls {

// The names as they arrived: every batch but the last holds as many names as the first, so a row finds its batch
// directly.
class FileListView::Names : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_); }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return Platform::DisplayName(name(index.row()));
  }

  QString name(qsizetype row) const {
    if (row < 0 || row >= rows_) return {};
    const qsizetype perBatch = batches_.first().size();
    return batches_.at(row / perBatch).name(row % perBatch);
  }

  void append(NameList batch) {
    if (batch.isEmpty()) return;
    beginInsertRows({}, int(rows_), int(rows_ + batch.size() - 1));
    rows_ += batch.size();
    batches_.append(std::move(batch));
    endInsertRows();
  }

  void clear() {
    beginResetModel();
    batches_.clear();
    batches_.squeeze();
    rows_ = 0;
    endResetModel();
  }

 private:
  QList<NameList> batches_;
  qsizetype rows_ = 0;
};

FileListView::FileListView(QWidget* parent)
    : QListView(parent), names_(new Names(this)), read_(this, Jobs::Background::Priority::Low) {
  setModel(names_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // One row height for all: the view never measures a million names.
  setUniformItemSizes(true);
  // Laying out a million rows in one go would hold the window's thread; in steps, events run in between.
  setLayoutMode(QListView::Batched);
  setBatchSize(8192);
}

FileListView::~FileListView() = default;

void FileListView::setPath(const QString& folder) {
  clear();
  path_ = QDir::cleanPath(folder);
  filling_ = true;
  read_.start(path_, [this, folder = path_, batchRows = batchRows_](const Jobs::Background::Ticket& ticket) {
    ListFolder(
        folder, Platform::EntryKind::File, batchRows, [&] { return ticket.stale(); },
        [&](NameList batch) {
          auto shared = std::make_shared<NameList>(std::move(batch));
          ticket.deliver([this, shared] { names_->append(std::move(*shared)); });
        });
    ticket.deliver([this] {
      filling_ = false;
      emit filled();
    });
  });
}

void FileListView::clear() {
  read_.cancel();
  filling_ = false;
  names_->clear();
}

qint64 FileListView::listCount() const { return names_->rowCount(); }

QString FileListView::fileName(int index) const { return names_->name(index); }

}  // namespace Controls
