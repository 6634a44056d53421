// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_watch.h"

#include "folder_reader.h"

namespace Watch {

FolderWatch::FolderWatch(QObject* parent)
    : QObject(parent), background_(this), reader_(std::make_shared<FolderReader>()) {
  qRegisterMetaType<Answer>();
}

// A check that hangs (a dead network share) holds only its own thread: the helper never waits for it.
FolderWatch::~FolderWatch() = default;

void FolderWatch::setFolder(const QString& folder) {
  folder_ = folder;
  // The old reader may be stuck in a check: it stays with that check, and this folder starts afresh.
  reader_ = std::make_shared<FolderReader>();
  background_.cancel();
}

bool FolderWatch::startCheck() {
  if (background_.busy()) return false;
  background_.start(folder_, [this, reader = reader_, folder = folder_](const Jobs::Background::Ticket& ticket) {
    const Reading reading = reader->check(folder);
    ticket.deliver([this, answer = Answer{reading, folder}] { emit answered(answer); });
  });
  return true;
}

}  // namespace Watch
