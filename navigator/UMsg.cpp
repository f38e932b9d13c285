#include "navigator/UMsg.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TFMsg::TFMsg(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("FMsg"));
  setWindowTitle(QStringLiteral("Message Window"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(413, 192);
  auto *column = new QVBoxLayout(this);
  Msg = new QPlainTextEdit(this);
  Msg->setObjectName(QStringLiteral("Msg"));
  column->addWidget(Msg);
}
