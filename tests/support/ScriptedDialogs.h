// Dialog answers for tests: each message box and file dialog must have its answer queued; any
// other dialog, an answer that fits no button, or an answer never asked for fails the test.
#pragma once

#include "platform/Dialogs.h"

#include <gtest/gtest.h>

namespace testsupport {

// Installed for its lifetime; queue answers with answer(), chooseFile() and cancelFile().
class ScriptedDialogs : public platform::ScriptedDialogs {
public:
  ScriptedDialogs()
      : platform::ScriptedDialogs(
            [](const QString &problem) { ADD_FAILURE() << "Dialog: " << problem.toStdString(); }) {}
};

} // namespace testsupport
