#include "navigator/UShape.h"

#include <QVBoxLayout>

TFShape::TFShape(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("FShape"));
  setWindowTitle(QStringLiteral("Vessel Geometry"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(260, 230);
}
