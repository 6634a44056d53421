// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_watch.h"

#include "folder_reader.h"

namespace Watch {

FolderWatch::FolderWatch(QObject* parent)
    : QObject(parent),
      background_(this, Jobs::Background::Priority::Normal, MaxAbandonedChecks),
      reader_(std::make_shared<FolderReader>()) {
  qRegisterMetaType<Answer>();
}

// A check that hangs (a dead network share) holds only its own thread: the helper never waits for it.
FolderWatch::~FolderWatch() = default;

void FolderWatch::setFolder(const QString& folder) {
  folder_ = folder;
  // The old reader may be stuck in a check: it stays with that check, and this folder starts afresh.
  reader_ = std::make_shared<FolderReader>();
  background_.cancel();
  busy_ = false;
}

bool FolderWatch::startCheck() {
  if (busy_) return false;
  busy_ = true;
  background_.start([this, reader = reader_, folder = folder_](const Jobs::Background::Ticket& ticket) {
    const Reading reading = reader->check(folder);
    ticket.deliver([this, answer = Answer{folder, reading.count, reading.source}] {
      busy_ = false;
      emit answered(answer);
    });
  });
  return true;
}

}  // namespace Watch
