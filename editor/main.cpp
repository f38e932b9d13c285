// TarvikTrimsel: the single-beam sounding editor. No command-line arguments are read.
#include "editor/EditorWindows.h"
#include "editor/FrameWindow.h"
#include "platform/Abort.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/KeyState.h"

#include <QApplication>
#include <QScreen>
#include <clocale>
#include <exception>
#include <memory>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  // Files and protocols read and write numbers the classic way; what the editor shows follows
  // the user's regional settings.
  std::setlocale(LC_NUMERIC, "C");
  platform::setFormatSettings(platform::FormatSettings::user());
  platform::installKeyState();
  EditorWindows windows;
  std::unique_ptr<TfParent> parent; // the frame owns every other window
  try {
    createEditorWindows(windows);
    parent.reset(windows.fParent);
    // Without a window manager a maximise request is ignored: start at the screen's size.
    if (QScreen *screen = QGuiApplication::primaryScreen())
      windows.fParent->setGeometry(screen->availableGeometry());
    windows.fParent->showMaximized();
    app.exec();
  } catch (const std::exception &e) {
    platform::showException(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    platform::ShowMessage(QStringLiteral("Bilinmeyen Bir Hata Olustu"));
  }
  return 0;
}
