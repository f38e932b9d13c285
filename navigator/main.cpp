// TarvikSondrel: the survey navigation program. Chooses the visual style, builds the survey day
// and every window once, and runs until the main window closes.
#include "navigator/CreateNavigatorWindows.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/StyleWindow.h"
#include "platform/Abort.h"

#include <QApplication>
#include <clocale>
#include <exception>

int main(int argc, char **argv) {
  const std::string style = ReadThemeStyle();

  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  // The main window alone ends the program; the tool windows it leaves open do not keep it up.
  app.setQuitOnLastWindowClosed(false);
  try {
    ApplyThemeStyle(style);
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
