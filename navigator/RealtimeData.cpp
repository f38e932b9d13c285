#include "navigator/RealtimeData.h"

#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TfRealtime::TfRealtime(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fRealtime"));
  setWindowTitle(QStringLiteral("Realtime Data"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(192, 382);
  auto *column = new QVBoxLayout(this);
  btHide = new QToolButton(this);
  btHide->setObjectName(QStringLiteral("btHide"));
  column->addWidget(btHide);
  btOpenLogFolder = new QToolButton(this);
  btOpenLogFolder->setObjectName(QStringLiteral("btOpenLogFolder"));
  column->addWidget(btOpenLogFolder);
  GPSGroupBox = new QGroupBox(QStringLiteral(" GPS Status "), this);
  GPSGroupBox->setObjectName(QStringLiteral("GPSGroupBox"));
  column->addWidget(GPSGroupBox);
  Fixed = new QLabel(QStringLiteral("---"), this);
  Fixed->setObjectName(QStringLiteral("Fixed"));
  column->addWidget(Fixed);
  Speed = new QLabel(QStringLiteral("---"), this);
  Speed->setObjectName(QStringLiteral("Speed"));
  column->addWidget(Speed);
  SatelliteLabel = new QLabel(QStringLiteral("---"), this);
  SatelliteLabel->setObjectName(QStringLiteral("SatelliteLabel"));
  column->addWidget(SatelliteLabel);
  LAntennaH = new QLabel(QStringLiteral("---"), this);
  LAntennaH->setObjectName(QStringLiteral("LAntennaH"));
  column->addWidget(LAntennaH);
  LTideHt = new QLabel(QStringLiteral("---"), this);
  LTideHt->setObjectName(QStringLiteral("LTideHt"));
  column->addWidget(LTideHt);
  DepthFrameHi = new QGroupBox(QStringLiteral(" Depth (High Freq.) "), this);
  DepthFrameHi->setObjectName(QStringLiteral("DepthFrameHi"));
  column->addWidget(DepthFrameHi);
  lDepthHi = new QLabel(QStringLiteral("---"), this);
  lDepthHi->setObjectName(QStringLiteral("lDepthHi"));
  column->addWidget(lDepthHi);
  DepthFrameLo = new QGroupBox(QStringLiteral(" Depth (Low Freq.) "), this);
  DepthFrameLo->setObjectName(QStringLiteral("DepthFrameLo"));
  column->addWidget(DepthFrameLo);
  lDepthLo = new QLabel(QStringLiteral("---"), this);
  lDepthLo->setObjectName(QStringLiteral("lDepthLo"));
  column->addWidget(lDepthLo);
}

void TfRealtime::btHideClick(QObject *) {}
