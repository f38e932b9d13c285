#include "navigator/uSVPGraph.h"

#include <QVBoxLayout>

TfSVPGraph::TfSVPGraph(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fSVPGraph"));
  setWindowTitle(QStringLiteral("SVP Profile Graph - Drag Points or Lasso Select"));
  resize(900, 550);
}
