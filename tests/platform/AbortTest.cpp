// Guarded handlers: EAbort is silent, other exceptions reach the display, nothing crosses Qt.
#include "platform/Abort.h"
#include "platform/Convert.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

using namespace platform;

namespace {

// Records what the display would show for the duration of a test.
class CapturedDisplay {
public:
  CapturedDisplay() {
    previous_ = setExceptionDisplay([this](const QString &text) { shown.append(text); });
  }
  ~CapturedDisplay() { setExceptionDisplay(previous_); }
  QStringList shown;

private:
  ExceptionDisplay previous_;
};

TEST(Abort, GuardedSlotShowsErrorsAndSwallowsAbort) {
  CapturedDisplay display;
  QPushButton button;
  int runs = 0;
  QObject::connect(&button, &QPushButton::clicked, guarded([&] {
    ++runs;
    if (runs == 1)
      Abort();
    StrToFloat("abc");
  }));
  button.click();
  EXPECT_TRUE(display.shown.isEmpty());
  button.click();
  ASSERT_EQ(display.shown.size(), 1);
  EXPECT_EQ(display.shown[0], "'abc' is not a valid floating point value.");
  EXPECT_EQ(runs, 2);
}

TEST(Abort, GuardedPassesSignalArguments) {
  CapturedDisplay display;
  QCheckBox box;
  std::vector<bool> seen;
  QObject::connect(&box, &QCheckBox::toggled, guarded([&](bool checked) {
    seen.push_back(checked);
    if (!checked)
      throw std::runtime_error("Port closed.");
  }));
  box.setChecked(true);
  box.setChecked(false);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  // Already ends with a full stop: nothing is added.
  EXPECT_EQ(display.shown, QStringList{"Port closed."});
}

struct Handlers {
  int ticks = 0;
  void tick() {
    if (++ticks == 2)
      throw std::logic_error("second tick failed");
  }
};

TEST(Abort, GuardedTimerMemberKeepsRunningAfterAFailure) {
  CapturedDisplay display;
  Handlers handlers;
  QTimer timer;
  timer.setInterval(1);
  QObject::connect(&timer, &QTimer::timeout, guarded(&handlers, &Handlers::tick));
  timer.start();
  EXPECT_TRUE(testsupport::processEventsUntil([&] { return handlers.ticks >= 3; }));
  timer.stop();
  EXPECT_EQ(display.shown, QStringList{"second tick failed."});
}

TEST(Abort, UnknownExceptionsAreShownToo) {
  CapturedDisplay display;
  guarded([] { throw 42; })();
  EXPECT_EQ(display.shown, QStringList{"Unknown exception."});
}

TEST(Abort, DefaultDisplayIsAMessageBoxWithTheText) {
  QString seenText;
  // Close the box as soon as it is up, keeping its text.
  QTimer closer;
  closer.setInterval(5);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
      seenText = box->text();
      box->done(QMessageBox::Ok);
    }
  });
  closer.start();
  guarded([] { throw std::runtime_error("Cannot open COM3"); })();
  closer.stop();
  EXPECT_EQ(seenText, "Cannot open COM3.");
}

TEST(Abort, OtherThreadsReachTheDisplayOnTheGuiThread) {
  QString seenText;
  QTimer closer;
  closer.setInterval(5);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
      seenText = box->text();
      box->done(QMessageBox::Ok);
    }
  });
  closer.start();
  std::thread worker(guarded([] { throw std::runtime_error("worker failed"); }));
  worker.join();
  EXPECT_TRUE(testsupport::processEventsUntil([&] { return !seenText.isEmpty(); }));
  closer.stop();
  EXPECT_EQ(seenText, "worker failed.");
}

} // namespace
