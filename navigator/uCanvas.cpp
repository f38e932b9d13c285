#include "navigator/uCanvas.h"

#include <QVBoxLayout>

TfCanvas::TfCanvas(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fCanvas"));
  setWindowTitle(QStringLiteral("Acoustic Waterfall"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(374, 92);
}
