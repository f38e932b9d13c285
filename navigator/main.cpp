// TarvikSondrel: the survey navigation program. Chooses the visual style, builds the survey day
// and every window once, and runs until the main window closes.
#include "navigator/NavigatorWindows.h"
#include "navigator/SurveyDay.h"
#include "navigator/unavigation.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Styles.h"

#include <QApplication>
#include <clocale>
#include <exception>

int main(int argc, char **argv) {
  std::string style = "Light";
  try {
    style = platform::IniFile(platform::SettingsFilePath())
                .ReadString("APPLICATION", "ThemeStyle", "Light");
  } catch (...) {
  }

  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  // The main window alone ends the program; the tool windows it leaves open do not keep it up.
  app.setQuitOnLastWindowClosed(false);
  try {
    if (style != "Tarvik Sondrel - Default") {
      const QString name = platform::fromAnsi(style);
      if (!platform::ApplyStyle(name))
        platform::MessageDlg(QStringLiteral("Style '") + name + QStringLiteral("' not found."),
                             mtError, mbOK);
    }
    QApplication::setApplicationName(QStringLiteral("Tarvik Sondrel"));

    InitSurveySession();
    NavigatorWindows windows;
    CreateNavigatorWindows(windows);
    QObject::connect(windows.FNav, &TFNav::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    windows.FNav->show();
    QApplication::exec();
  } catch (const std::exception &e) {
    platform::showException(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    platform::showException(QString());
  }
  return 0;
}
