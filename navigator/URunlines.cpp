#include "navigator/URunlines.h"

#include <QVBoxLayout>

TfRunline1::TfRunline1(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fRunline1"));
  setWindowTitle(QStringLiteral("Runline Generator"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(260, 330);
}
