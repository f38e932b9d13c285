// The message window: the main window's link and command messages, one a line.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QPlainTextEdit;

class TFMsg : public QWidget {
public:
  TFMsg(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QPlainTextEdit *Msg = nullptr;
};
