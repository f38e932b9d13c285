// Dialog answers for tests: each message box and file dialog must have its answer queued; any
// other dialog, an answer that fits no button, or an answer never asked for fails the test.
#pragma once

#include "platform/Dialogs.h"

#include <gtest/gtest.h>
#include <memory>

namespace testsupport {

// Installed for its lifetime; queue answers with answer(), chooseFile() and cancelFile().
class ScriptedDialogs : public platform::ScriptedDialogs {
public:
  ScriptedDialogs()
      : platform::ScriptedDialogs(
            [](const QString &problem) { ADD_FAILURE() << "Dialog: " << problem.toStdString(); }) {}
};

// A test event listener that runs every test inside an empty ScriptedDialogs, so that a dialog
// no test asked for fails the test instead of being escaped silently. Register it in main with
// ::testing::UnitTest::GetInstance()->listeners().Append(new testsupport::UnscriptedDialogsFail).
class UnscriptedDialogsFail : public ::testing::EmptyTestEventListener {
public:
  void OnTestStart(const ::testing::TestInfo &) override {
    dialogs_ = std::make_unique<ScriptedDialogs>();
  }
  void OnTestEnd(const ::testing::TestInfo &) override { dialogs_.reset(); }

private:
  std::unique_ptr<ScriptedDialogs> dialogs_;
};

} // namespace testsupport
