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

struct BackgroundTest : ::testing::Test {
  int argc = 1;
  char arg0[5] = "test";
  char* argv[1] = {arg0};
  QCoreApplication app{argc, argv};

  // Processes events until the condition holds or two seconds pass.
  template <class Condition>
  bool waitFor(Condition condition) {
    const QDeadlineTimer deadline(2000);
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

TEST_F(BackgroundTest, PastTheLimitTheNewestJobWaitsForAHungOne) {
  QObject receiver;
  auto gate = std::make_shared<QSemaphore>();
  auto background = std::make_unique<Background>(&receiver, Background::Priority::Normal, 1);
  int delivered = 0;
  for (int i = 0; i < 2; ++i) background->start([gate](const Background::Ticket&) { gate->acquire(); });
  // Two hung jobs: one newest and one stale, the limit. The third and fourth wait; only the fourth will run.
  background->start([&](const Background::Ticket& ticket) { ticket.deliver([&] { delivered += 10; }); });
  background->start([&](const Background::Ticket& ticket) { ticket.deliver([&] { delivered += 1; }); });
  EXPECT_EQ(background->running(), 2);
  EXPECT_TRUE(background->busy());
  gate->release();
  ASSERT_TRUE(waitFor([&] { return delivered != 0; }));
  EXPECT_EQ(delivered, 1);

  // The helper goes while a job hangs: nothing waits for it, and what it would deliver is dropped.
  background->start([gate](const Background::Ticket& ticket) {
    gate->acquire();
    ticket.deliver([] { ADD_FAILURE() << "delivered after the helper was gone"; });
  });
  background.reset();
  gate->release(2);
  QThread::msleep(50);
  QCoreApplication::processEvents();
}

}  // namespace
