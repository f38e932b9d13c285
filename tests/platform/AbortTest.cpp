// Guarded handlers: EAbort is silent, other exceptions reach the display, nothing crosses Qt.
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
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

TEST(Abort, DefaultDisplayGoesThroughTheDialogSeam) {
  QStringList failures;
  ScriptedDialogs dialogs([&](const QString &text) { failures.append(text); });
  dialogs.answer(mrOk);
  guarded([] { StrToInt("1x"); })();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text, "'1x' is not a valid integer value.");
  EXPECT_EQ(dialogs.messages()[0].type, mtError);
  EXPECT_EQ(dialogs.messages()[0].caption, QCoreApplication::applicationName());
  EXPECT_TRUE(failures.isEmpty());
  // An exception nobody expected fails a test that scripts its dialogs.
  guarded([] { throw std::runtime_error("unexpected"); })();
  EXPECT_EQ(failures.size(), 1);
  EXPECT_TRUE(failures.value(0).contains("unexpected")) << failures.value(0).toStdString();
  // The box carries the application's title.
  const QString before = QGuiApplication::applicationDisplayName();
  QGuiApplication::setApplicationDisplayName("Tarvik Sondrel");
  dialogs.answer(mrOk);
  guarded([] { StrToFloat("2 m"); })();
  QGuiApplication::setApplicationDisplayName(before);
  ASSERT_EQ(dialogs.messages().size(), 3u);
  EXPECT_EQ(dialogs.messages()[2].caption, "Tarvik Sondrel");
  EXPECT_EQ(dialogs.messages()[2].text, "'2 m' is not a valid floating point value.");
}

TEST(Abort, OtherThreadsReachTheDisplayOnTheGuiThread) {
  QStringList failures;
  ScriptedDialogs dialogs([&](const QString &text) { failures.append(text); });
  dialogs.answer(mrOk);
  std::thread worker(guarded([] { throw std::runtime_error("worker failed"); }));
  worker.join();
  // Nothing is shown on the worker: the box waits for the GUI thread's event loop.
  EXPECT_TRUE(dialogs.messages().empty());
  EXPECT_TRUE(testsupport::processEventsUntil([&] { return !dialogs.messages().empty(); }));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text, "worker failed.");
  EXPECT_TRUE(failures.isEmpty());
}

} // namespace
