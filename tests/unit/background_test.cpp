// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/background.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSemaphore>
#include <QThread>
#include <memory>
#include <vector>

namespace {

using Jobs::Background;
using namespace Qt::StringLiterals;

struct BackgroundTest : ::testing::Test {
  int argc = 1;
  char arg0[5] = "test";
  char* argv[1] = {arg0};
  QCoreApplication app{argc, argv};

  // Processes events until the condition holds or ten seconds pass (a loaded machine is slow).
  template <class Condition>
  bool waitFor(Condition condition) {
    const QDeadlineTimer deadline(10000);
    while (!condition() && !deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(1);
    }
    return condition();
  }
};

TEST_F(BackgroundTest, OnlyTheNewestJobDeliversOnTheReceiversThread) {
  QObject receiver;
  Background background(&receiver);
  QSemaphore gate;
  std::vector<int> delivered;
  Qt::HANDLE deliveredOn = nullptr;
  background.start([&](const Background::Ticket& ticket) {
    gate.acquire();  // held until the newer job has started
    ticket.deliver([&] { delivered.push_back(1); });
  });
  background.start([&](const Background::Ticket& ticket) {
    ticket.deliver([&] {
      delivered.push_back(2);
      deliveredOn = QThread::currentThreadId();
    });
  });
  gate.release();
  ASSERT_TRUE(waitFor([&] { return !background.busy() && background.running() == 0; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, std::vector<int>{2});
  EXPECT_EQ(deliveredOn, QThread::currentThreadId());
}

// The picker opened a hundred times over twenty hung folders: one thread per folder, browsing stops short of
// the reserve, and a fresh folder of the watch is still read at once.
TEST_F(BackgroundTest, HungPathsHoldOneThreadEachAndNeverStarveAFreshOne) {
  QObject receiver;
  auto gate = std::make_shared<QSemaphore>();
  std::vector<std::unique_ptr<Background>> pickers;
  for (int i = 0; i < 100; ++i) {
    pickers.push_back(std::make_unique<Background>(&receiver, Background::Priority::Low));
    pickers.back()->start(QString::number(i % 20), [gate](const Background::Ticket&) { gate->acquire(); });
  }
  const auto threads = [&] {
    int sum = 0;
    for (const auto& picker : pickers) sum += picker ? picker->running() : 0;
    return sum;
  };
  EXPECT_EQ(threads(), Background::MaxThreads - Background::ReservedThreads);
  Background watch(&receiver);
  bool answered = false;
  watch.start(u"local"_s, [&](const Background::Ticket& ticket) { ticket.deliver([&] { answered = true; }); });
  EXPECT_TRUE(waitFor([&] { return answered; }));

  // A picker goes while its job hangs: nothing waits for it, and what it would deliver is dropped.
  pickers.front()->start(u"0"_s, [gate](const Background::Ticket& ticket) {
    gate->acquire();
    ticket.deliver([] { ADD_FAILURE() << "delivered after the helper was gone"; });
  });
  pickers.front().reset();
  gate->release(200);
  EXPECT_TRUE(waitFor([&] { return threads() == 0; }));
  QCoreApplication::processEvents();
}

// A thread that cannot be started (a process limit) drops that job; the next request runs.
TEST_F(BackgroundTest, AFailedThreadStartDelaysTheJobOnly) {
  for (const bool whenAJobEnds : {false, true}) {
    QObject receiver;
    Background background(&receiver), other(&receiver);
    QSemaphore gate;
    other.start(u"a"_s, [&](const Background::Ticket&) { gate.acquire(); });
    int delivered = 0;
    const auto job = [&](const Background::Ticket& ticket) { ticket.deliver([&] { ++delivered; }); };
    if (!whenAJobEnds) Background::failThreadStartsForTesting(1);
    background.start(whenAJobEnds ? u"a"_s : u"b"_s, job);  // with "a", it waits for the other's job
    if (whenAJobEnds) Background::failThreadStartsForTesting(1);
    gate.release();
    ASSERT_TRUE(waitFor([&] { return !background.busy() && other.running() == 0; })) << whenAJobEnds;
    EXPECT_EQ(background.running(), 0) << whenAJobEnds;
    background.start(u"a"_s, job);
    EXPECT_TRUE(waitFor([&] { return delivered == 1; })) << whenAJobEnds;
  }
}

}  // namespace
