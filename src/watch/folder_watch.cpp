// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_watch.h"

#include <QThread>

#include "folder_reader.h"

namespace Watch {
namespace {

// Lives on the reading thread; owns the reader and its change watch.
class Worker : public QObject {
  Q_OBJECT
 public:
  void count(const QString& folder, quint64 generation) {
    const Reading reading = reader_.check(folder);
    emit answered(Answer{folder, generation, reading.count, reading.read});
  }

 signals:
  void answered(const Watch::Answer& answer);

 private:
  FolderReader reader_;
};

}  // namespace

FolderWatch::FolderWatch(QObject* parent) : QObject(parent), thread_(new QThread), worker_(new Worker) {
  qRegisterMetaType<Answer>();  // crosses threads
  thread_->setObjectName(QStringLiteral("folder watch"));
  worker_->moveToThread(thread_);
  connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
  connect(static_cast<Worker*>(worker_), &Worker::answered, this, &FolderWatch::take);
  thread_->start();
}

FolderWatch::~FolderWatch() {
  thread_->quit();
  if (busy_) {
    // A count that hangs (a dead network share) must not hold up the end: the thread ends once it returns.
    connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
    return;
  }
  thread_->wait();
  delete thread_;
}

void FolderWatch::setFolder(const QString& folder) {
  folder_ = folder;
  ++generation_;
}

bool FolderWatch::ask() {
  if (busy_) return false;
  busy_ = true;
  auto* worker = static_cast<Worker*>(worker_);
  QMetaObject::invokeMethod(
      worker, [worker, folder = folder_, generation = generation_] { worker->count(folder, generation); },
      Qt::QueuedConnection);
  return true;
}

void FolderWatch::take(const Answer& answer) {
  busy_ = false;
  if (answer.generation == generation_) {
    emit answered(answer);
  } else {
    ask();  // the folder set meanwhile waited for this count: its turn now
  }
}

}  // namespace Watch

#include "folder_watch.moc"
