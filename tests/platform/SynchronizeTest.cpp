// A worker's synchronised calls: they run on the GUI thread and are waited for, carry exceptions
// back, and can be given up by a stop so that nobody waits for anybody forever.
#include "platform/Synchronize.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(Synchronize, RunsOnTheGuiThreadAndWaitsForTheWork) {
  std::atomic<bool> ranOnGui{false};
  std::atomic<int> result{0};
  std::thread worker([&] {
    const bool done = platform::synchronize([&] {
      ranOnGui = QThread::currentThread() == QCoreApplication::instance()->thread();
      result = 42;
    });
    // The work has finished when the call returns.
    EXPECT_TRUE(done);
    EXPECT_EQ(result, 42);
    result = 43;
  });
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return result == 43; }));
  worker.join();
  EXPECT_TRUE(ranOnGui);
}

TEST(Synchronize, CarriesAnExceptionBackToTheWorker) {
  std::atomic<bool> caught{false};
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    try {
      platform::synchronize([] { throw std::runtime_error("from the GUI thread"); });
    } catch (const std::runtime_error &e) {
      caught = std::string(e.what()) == "from the GUI thread";
    }
    finished = true;
  });
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return finished.load(); }));
  worker.join();
  EXPECT_TRUE(caught);
}

TEST(Synchronize, AStopGivesUpACallTheGuiThreadHasNotTakenUp) {
  platform::SyncStop stop;
  std::atomic<bool> ran{false};
  std::atomic<bool> waiting{false};
  bool done = true;
  std::thread worker([&] {
    waiting = true;
    done = platform::synchronize([&] { ran = true; }, &stop);
  });
  while (!waiting)
    std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(20ms); // let it post and wait; no event runs meanwhile
  stop.requestStop();
  worker.join(); // the GUI thread ran no events, yet the worker is free
  EXPECT_FALSE(done);
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
  // Once stopped, later calls give up at once.
  std::thread later([&] { done = platform::synchronize([&] { ran = true; }, &stop); });
  later.join();
  EXPECT_FALSE(done);
}

TEST(Synchronize, AStopDuringTheWorkWaitsForItsEnd) {
  platform::SyncStop stop;
  std::atomic<bool> finishedWork{false};
  std::atomic<bool> returned{false};
  bool done = false;
  bool workFinishedFirst = false;
  std::thread worker([&] {
    done = platform::synchronize(
        [&] {
          stop.requestStop();
          std::this_thread::sleep_for(20ms);
          finishedWork = true;
        },
        &stop);
    workFinishedFirst = finishedWork;
    returned = true;
  });
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return returned.load(); }));
  worker.join();
  EXPECT_TRUE(done);
  EXPECT_TRUE(workFinishedFirst);
}

TEST(Synchronize, OnTheGuiThreadTheWorkJustRuns) {
  bool ran = false;
  EXPECT_TRUE(platform::synchronize([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

} // namespace
