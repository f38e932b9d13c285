#include "navigator/shared/MessageWindow.h"

#include "platform/Abort.h"
#include "platform/GdiCanvas.h"

#include <QEvent>
#include <QHideEvent>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

TFMsg::TFMsg(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("FMsg"));
  setWindowTitle(QStringLiteral("Message Window"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(413, 192);
  move(1017, 148);
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  Msg = new QPlainTextEdit(this);
  Msg->setObjectName(QStringLiteral("Msg"));
  Msg->setFont(platform::makeFont(QStringLiteral("MS Sans Serif"), 10));
  Msg->setMaximumBlockCount(MaxLines);
  Msg->viewport()->installEventFilter(this);
  column->addWidget(Msg);

  Timer1 = new QTimer(this);
  Timer1->setInterval(4000);
  connect(Timer1, &QTimer::timeout, this, platform::guarded([this] { Timer1Timer(Timer1); }));
  Timer1->start();
  // A line added while the window is up gets its whole time too.
  connect(Msg, &QPlainTextEdit::textChanged, this, [this] {
    if (isVisible() && !Msg->document()->isEmpty())
      Timer1->start();
  });
}

void TFMsg::FormShow(QObject *) {
  // The time counts from the showing: a timer that ran since creation would hide a message
  // shown after a slow start at once, before anyone could read it.
  Timer1->start();
}

void TFMsg::FormHide(QObject *) { Timer1->stop(); }

void TFMsg::Timer1Timer(QObject *) { hide(); }

void TFMsg::MsgClick(QObject *) {
  hide();
  Msg->clear();
}

void TFMsg::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    platform::guarded([this] { FormShow(this); })();
}

void TFMsg::hideEvent(QHideEvent *event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous())
    platform::guarded([this] { FormHide(this); })();
}

bool TFMsg::eventFilter(QObject *watched, QEvent *event) {
  if (watched == Msg->viewport() && event->type() == QEvent::MouseButtonRelease) {
    platform::guarded([this] { MsgClick(Msg); })();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

namespace navigator {

void showInMessageWindow(NavigatorWindows &windows, const QString &text) {
  if (windows.FMsg && windows.FMsg->Msg) {
    windows.FMsg->Msg->appendPlainText(text);
    windows.FMsg->show();
  }
}

void noteInMessageWindow(QObject *context, NavigatorWindows &windows, const QString &text) {
  QTimer::singleShot(0, context, [&windows, text] { showInMessageWindow(windows, text); });
}

} // namespace navigator
