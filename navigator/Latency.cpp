#include "navigator/Latency.h"

#include <QLineEdit>
#include <QVBoxLayout>

TfLatency::TfLatency(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fLatency"));
  setWindowTitle(QStringLiteral("Latency"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(205, 63);
  auto *column = new QVBoxLayout(this);
  eCurrentLatency = new QLineEdit(this);
  eCurrentLatency->setObjectName(QStringLiteral("eCurrentLatency"));
  column->addWidget(eCurrentLatency);
  eLatencyAveraged = new QLineEdit(this);
  eLatencyAveraged->setObjectName(QStringLiteral("eLatencyAveraged"));
  column->addWidget(eLatencyAveraged);
  eLatencyTol = new QLineEdit(QStringLiteral("500"), this);
  eLatencyTol->setObjectName(QStringLiteral("eLatencyTol"));
  column->addWidget(eLatencyTol);
}
