// Runs every test of one executable inside a QApplication on the offscreen
// platform, with the C library's numbers in the classic locale as the programs keep them.
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QByteArray>
#include <clocale>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt warns on every start without a runtime folder (CI and root shells have none).
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QByteArray runtime = "/tmp/runtime-" + QByteArray::number(getuid());
    mkdir(runtime.constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", runtime);
  }
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  ::testing::InitGoogleTest(&argc, argv);
  // A dialog that a test did not script fails that test with the dialog's text.
  ::testing::UnitTest::GetInstance()->listeners().Append(new testsupport::UnscriptedDialogsFail);
  return RUN_ALL_TESTS();
}
