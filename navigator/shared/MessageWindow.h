// The message window: the main window's link and command messages, one a line. It hides itself
// a few seconds after it is shown or after its last line was added, whichever is later.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QPlainTextEdit;
class QTimer;

class TFMsg : public QWidget {
public:
  TFMsg(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QPlainTextEdit *Msg = nullptr;
  QTimer *Timer1 = nullptr; // 4000 ms, running from creation, started anew by every showing

  // A day of link messages must not grow the memo without end: older lines give way.
  static constexpr int MaxLines = 1000;

  void FormShow(QObject *Sender);
  void FormHide(QObject *Sender);
  void Timer1Timer(QObject *Sender);
  void MsgClick(QObject *Sender);

protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
};

namespace navigator {

// Adds the text to the message window and shows it, when the window exists.
void showInMessageWindow(NavigatorWindows &windows, const QString &text);
// Shows the text in the message window. The windows made before it (their settings are read as
// they are made) post the note, which then waits for the start to make it; `context` ends the
// wait when it goes first.
void noteInMessageWindow(QObject *context, NavigatorWindows &windows, const QString &text);

} // namespace navigator
