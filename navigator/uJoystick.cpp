#include "navigator/uJoystick.h"

#include <QLabel>
#include <QVBoxLayout>

TfJoystick::TfJoystick(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fJoystick"));
  setWindowTitle(QStringLiteral("Battery"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(131, 42);
  auto *column = new QVBoxLayout(this);
  pBattery = new QLabel(this);
  pBattery->setObjectName(QStringLiteral("pBattery"));
  column->addWidget(pBattery);
}
