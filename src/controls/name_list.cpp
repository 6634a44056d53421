// SPDX-License-Identifier: GPL-3.0-or-later
#include "name_list.h"

#include <algorithm>
#include <vector>

#include "platform/file_name.h"

namespace Controls {

QByteArrayView NameList::raw(qsizetype index) const {
  const qsizetype begin = index == 0 ? 0 : ends_.at(index - 1);
  return QByteArrayView(bytes_).sliced(begin, ends_.at(index) - begin);
}

QString NameList::name(qsizetype index) const { return Platform::DecodeName(raw(index)); }

void NameList::append(QByteArrayView name) {
  bytes_.append(name);
  ends_.append(bytes_.size());
}

namespace {

// ASCII's case folding, which is QChar's for those characters: only A to Z change.
constexpr int Folded(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : static_cast<unsigned char>(c); }

}  // namespace

bool NameLess(QByteArrayView a, QByteArrayView b) {
  // Plain ASCII, as nearly every name is, is compared without decoding: up to the first other byte it orders as
  // QString's comparison does.
  int order = 0;
  const qsizetype common = std::min(a.size(), b.size());
  qsizetype i = 0;
  for (; i < common && order == 0; ++i) {
    if (static_cast<unsigned char>(a[i]) >= 0x80 || static_cast<unsigned char>(b[i]) >= 0x80) break;
    order = Folded(a[i]) - Folded(b[i]);
  }
  if (order == 0 && i < common) {
    order = Platform::DecodeName(a).compare(Platform::DecodeName(b), Qt::CaseInsensitive);
  } else if (order == 0) {
    order = a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
  }
  if (order != 0) return order < 0;
  return a.compare(b) < 0;
}

bool ListFolder(const QString& folder, Platform::EntryKind kind, qsizetype batchRows, const std::function<bool()>& stop,
                const std::function<void(NameList)>& batch) {
  if (batchRows < 1 || stop()) return false;
  const Platform::OpenFolder open(folder);
  NameList found;
  qsizetype seen = 0;
  const bool complete = Platform::ReadEntries(open, [&](const Platform::FolderEntry& entry) {
    if (entry.kind == kind) found.append(QByteArrayView(entry.name.data(), qsizetype(entry.name.size())));
    return ++seen % 4096 != 0 || !stop();
  });
  if (!complete) return false;

  std::vector<QByteArrayView> order(found.size());
  for (qsizetype i = 0; i < found.size(); ++i) order[i] = found.raw(i);
  std::sort(order.begin(), order.end(), NameLess);
  for (qsizetype start = 0; start < found.size(); start += batchRows) {
    if (stop()) return false;
    NameList part;
    const qsizetype end = std::min(found.size(), start + batchRows);
    for (qsizetype i = start; i < end; ++i) part.append(order[i]);
    batch(std::move(part));
  }
  return true;
}

}  // namespace Controls
