// The editor's windows built as the program builds them, in a temporary settings folder, with
// a profile image of a known size, and sounding files written for the test.
#pragma once

#include "editor/EditorWindows.h"
#include "editor/FrameWindow.h"
#include "editor/PlanViewWindow.h"
#include "editor/ProfileEditorWindow.h"
#include "editor/SettingsWindow.h"
#include "editor/SmoothingClusterWindow.h"
#include "editor/WaitWindow.h"
#include "platform/Abort.h"
#include "platform/FormatSettings.h"
#include "platform/IniFile.h"
#include "platform/KeyState.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

namespace editortest {

class Editor {
public:
  explicit Editor(int imageWidth = 1000, int imageHeight = 440)
      : settings_("TARVIK_SETTINGS_DIR", dir.path().c_str()) {
    platform::installKeyState();
    createEditorWindows(w);
    parent_.reset(w.fParent);
    w.fParent->resize(1400, 900);
    w.fParent->show();
    w.fEditing->iMain->setFixedSize(imageWidth, imageHeight);
    if (auto *frame = qobject_cast<QMdiSubWindow *>(w.fEditing->parentWidget()))
      frame->resize(imageWidth + 40, imageHeight + 150);
    QApplication::processEvents();
  }
  ~Editor() {
    // Nothing may ask the user on the way out.
    w.fEditing->displayMainLoop->stop();
    parent_->hide();
  }

  // Writes a sounding file and opens it through the Open button's handler.
  std::string open(const std::string &name, const std::string &text) {
    const std::string path = dir.file(name);
    testsupport::writeFile(path, text);
    dialogs.chooseFile(QString::fromStdString(path));
    w.fEditing->bFileOpenClick();
    return path;
  }
  std::string settingsFile() const { return platform::SettingsFilePath(); }

  testsupport::TempDir dir;
  testsupport::ScriptedDialogs dialogs;
  EditorWindows w;
  TfEditing &e() { return *w.fEditing; }

private:
  testsupport::EnvVar settings_;
  std::unique_ptr<TfParent> parent_;
};

// n soundings along x, one metre apart, heights from the function.
template <class F> std::string line(int n, F height) {
  std::string text = "Easting,Northing,Elevation\r\n";
  for (int i = 0; i < n; ++i)
    text += std::to_string(500000 + i) + ".00,4400000.00," + std::to_string(height(i)) + "\r\n";
  return text;
}

} // namespace editortest
