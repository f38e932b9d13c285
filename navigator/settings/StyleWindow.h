// TfTheme, the style window: preview a visual style by clicking its name, keep it for the next
// start with "Save && Exit", or return to the style of the moment of showing with "Cancel".
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QString>
#include <QWidget>
#include <string>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

// The style recorded for the next start (APPLICATION / ThemeStyle, "Light" when there is none).
// The program reads it before its application object exists.
std::string ReadThemeStyle();
// Applies a style by name as the start does: none for the program's plain look "Tarvik Sondrel -
// Default" (exactly so written); a name that names no style is reported and the look stays.
void ApplyThemeStyle(const std::string &name);
// Switches to the style of that name; reports a name that names no style. True when set.
bool TrySetStyle(const QString &name);

class TfTheme : public QWidget {
public:
  TfTheme(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QGroupBox *GroupBox1 = nullptr; // "Select Theme"
  QListWidget *lbThemeList = nullptr;
  QLabel *lInfo = nullptr;
  QPushButton *bSaveExit = nullptr;
  QPushButton *bCancel = nullptr;

  // The style that was active when the window was last shown.
  QString StyleAtShow;

  void FormShow(QObject *Sender);
  void lbThemeListClick(QObject *Sender);
  void bSaveExitClick(QObject *Sender);
  void bCancelClick(QObject *Sender);

protected:
  void showEvent(QShowEvent *event) override;

private:
  // Gives the main window's canvas the active style's panel colour, when both exist.
  void repaintCanvasBackground();
};
