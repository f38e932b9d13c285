#include "navigator/unavset.h"

#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>

TNavset::TNavset(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("Navset"));
  setWindowTitle(QStringLiteral("Navigation Settings"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(300, 420);
  auto *column = new QVBoxLayout(this);
  fcadColor = new QComboBox(this);
  fcadColor->setObjectName(QStringLiteral("fcadColor"));
  column->addWidget(fcadColor);
  edDepthAlert1 = new QLineEdit(this);
  edDepthAlert1->setObjectName(QStringLiteral("edDepthAlert1"));
  column->addWidget(edDepthAlert1);
}
