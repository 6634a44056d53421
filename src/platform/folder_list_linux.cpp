// SPDX-License-Identifier: GPL-3.0-or-later
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "file_name.h"
#include "folder_list.h"
#include "platform/dirent_linux.h"

namespace Platform {

QByteArrayView NameList::raw(qsizetype index) const {
  const qsizetype begin = index == 0 ? 0 : ends_.at(index - 1);
  return QByteArrayView(bytes_).sliced(begin, ends_.at(index) - begin);
}

QString NameList::name(qsizetype index) const { return DecodeName(raw(index)); }

void NameList::append(QByteArrayView name) {
  bytes_.append(name);
  ends_.append(bytes_.size());
}

namespace {

constexpr size_t BufferSize = 256 * 1024;

// A name to sort, and whether it is plain ASCII, as nearly every name is.
struct SortKey {
  const char* data;
  quint32 size;  // a name is at most 255 bytes
  bool ascii;
};

bool IsAscii(QByteArrayView name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// ASCII's case folding, which is QChar's for those characters: only A to Z change.
constexpr unsigned char Folded(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : static_cast<unsigned char>(c); }

// QString's comparison without regard to case, as QDir::Name | QDir::IgnoreCase sorts; names equal that way keep
// a fixed order by their bytes. Plain ASCII is compared without decoding.
bool NameLess(const SortKey& a, const SortKey& b) {
  const QByteArrayView rawA(a.data, a.size), rawB(b.data, b.size);
  int order = 0;
  if (a.ascii && b.ascii) {
    const quint32 common = std::min(a.size, b.size);
    for (quint32 i = 0; i < common && order == 0; ++i) order = Folded(a.data[i]) - Folded(b.data[i]);
    if (order == 0) order = a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
  } else {
    order = DecodeName(rawA).compare(DecodeName(rawB), Qt::CaseInsensitive);
  }
  if (order != 0) return order < 0;
  return rawA.compare(rawB) < 0;
}

}  // namespace

bool ListFolder(const QString& folder, EntryKind kind, qsizetype batchRows, const std::function<bool()>& stop,
                const std::function<void(NameList)>& batch) {
  const std::optional<QByteArray> name = EncodeName(folder);
  if (!name || batchRows < 1) return false;
  const int fd = ::open(name->constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const std::unique_ptr<char[]> buffer(new char[BufferSize]);
  NameList found;
  bool complete = true;
  for (;;) {
    if (stop()) {
      complete = false;
      break;
    }
    const long got = ::syscall(SYS_getdents64, fd, buffer.get(), BufferSize);
    if (got <= 0) {
      complete = got == 0;
      break;
    }
    for (long offset = 0; offset < got;) {
      const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer.get() + offset);
      offset += entry->d_reclen;
      if (entry->d_name[0] == '.') continue;  // hidden entries, "." and ".."
      if (EntryIs(fd, entry->d_name, entry->d_type, kind == EntryKind::File ? DT_REG : DT_DIR))
        found.append(QByteArrayView(entry->d_name, qsizetype(::strlen(entry->d_name))));
    }
  }
  ::close(fd);
  if (!complete) return false;

  std::vector<SortKey> order(found.size());
  for (qsizetype i = 0; i < found.size(); ++i) {
    const QByteArrayView name = found.raw(i);
    order[i] = {name.data(), quint32(name.size()), IsAscii(name)};
  }
  std::sort(order.begin(), order.end(), NameLess);
  for (qsizetype start = 0; start < found.size(); start += batchRows) {
    if (stop()) return false;
    NameList part;
    const qsizetype end = std::min(found.size(), start + batchRows);
    for (qsizetype i = start; i < end; ++i) part.append(QByteArrayView(order[i].data, order[i].size));
    batch(std::move(part));
  }
  return true;
}

}  // namespace Platform
