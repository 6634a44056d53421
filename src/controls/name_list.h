// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>

#include "platform/folder_count.h"

namespace Controls {

// Names packed one after another in the file system's encoding: a big folder costs a few bytes per name, not an
// object per name.
class NameList {
 public:
  qsizetype size() const { return ends_.size(); }
  bool isEmpty() const { return ends_.isEmpty(); }
  QByteArrayView raw(qsizetype index) const;
  QString name(qsizetype index) const;
  void append(QByteArrayView name);

 private:
  QByteArray bytes_;
  QList<qsizetype> ends_;
};

// The order of the folder lists: by name without regard to case, as QString compares, names equal that way in a
// fixed order by their bytes.
bool NameLess(QByteArrayView a, QByteArrayView b);

// The non-hidden entries of one kind (File or Folder, links counting as what they lead to) directly in folder, as the
// folder lists show them: sorted by name without regard to case, handed over in lists of at most batchRows names once
// the whole folder is read. stop() is asked between reads and batches; once it says yes, nothing more is read or handed
// over. False when the folder cannot be read or the listing was stopped.
bool ListFolder(const QString& folder, Platform::EntryKind kind, qsizetype batchRows, const std::function<bool()>& stop,
                const std::function<void(NameList)>& batch);

}  // namespace Controls
