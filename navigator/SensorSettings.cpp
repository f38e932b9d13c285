#include "navigator/SensorSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TFGPS::TFGPS(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("FGPS"));
  setWindowTitle(QStringLiteral("Settings"));
  resize(754, 458);
  auto *column = new QVBoxLayout(this);
  MemoGPS = new QPlainTextEdit(this);
  MemoGPS->setObjectName(QStringLiteral("MemoGPS"));
  column->addWidget(MemoGPS);
  MemoSensor = new QPlainTextEdit(this);
  MemoSensor->setObjectName(QStringLiteral("MemoSensor"));
  column->addWidget(MemoSensor);
  cSBESMessage = new QComboBox(this);
  cSBESMessage->setObjectName(QStringLiteral("cSBESMessage"));
  column->addWidget(cSBESMessage);
  eSBESFormat = new QLineEdit(this);
  eSBESFormat->setObjectName(QStringLiteral("eSBESFormat"));
  column->addWidget(eSBESFormat);
  SensorEnabled = new QCheckBox(QStringLiteral("Sensor Enabled"), this);
  SensorEnabled->setObjectName(QStringLiteral("SensorEnabled"));
  column->addWidget(SensorEnabled);
  GyroEnabled = new QCheckBox(QStringLiteral("Gyro Enabled"), this);
  GyroEnabled->setObjectName(QStringLiteral("GyroEnabled"));
  column->addWidget(GyroEnabled);
  cbUseLCCProjection = new QCheckBox(QStringLiteral("Use LCC Projection"), this);
  cbUseLCCProjection->setObjectName(QStringLiteral("cbUseLCCProjection"));
  column->addWidget(cbUseLCCProjection);
  cLambert1 = new QCheckBox(QStringLiteral("One standard parallel"), this);
  cLambert1->setObjectName(QStringLiteral("cLambert1"));
  column->addWidget(cLambert1);
  MonitorEcho = new QCheckBox(QStringLiteral("Monitor"), this);
  MonitorEcho->setObjectName(QStringLiteral("MonitorEcho"));
  column->addWidget(MonitorEcho);
  edSMA = new QLineEdit(this);
  edSMA->setObjectName(QStringLiteral("edSMA"));
  column->addWidget(edSMA);
  edIF = new QLineEdit(this);
  edIF->setObjectName(QStringLiteral("edIF"));
  column->addWidget(edIF);
  edPPM = new QLineEdit(this);
  edPPM->setObjectName(QStringLiteral("edPPM"));
  column->addWidget(edPPM);
  edRX = new QLineEdit(this);
  edRX->setObjectName(QStringLiteral("edRX"));
  column->addWidget(edRX);
  edRY = new QLineEdit(this);
  edRY->setObjectName(QStringLiteral("edRY"));
  column->addWidget(edRY);
  edRZ = new QLineEdit(this);
  edRZ->setObjectName(QStringLiteral("edRZ"));
  column->addWidget(edRZ);
  edSX = new QLineEdit(this);
  edSX->setObjectName(QStringLiteral("edSX"));
  column->addWidget(edSX);
  edSY = new QLineEdit(this);
  edSY->setObjectName(QStringLiteral("edSY"));
  column->addWidget(edSY);
  edSZ = new QLineEdit(this);
  edSZ->setObjectName(QStringLiteral("edSZ"));
  column->addWidget(edSZ);
  edCM = new QLineEdit(this);
  edCM->setObjectName(QStringLiteral("edCM"));
  column->addWidget(edCM);
  edRL = new QLineEdit(this);
  edRL->setObjectName(QStringLiteral("edRL"));
  column->addWidget(edRL);
  edSF = new QLineEdit(this);
  edSF->setObjectName(QStringLiteral("edSF"));
  column->addWidget(edSF);
  edFE = new QLineEdit(this);
  edFE->setObjectName(QStringLiteral("edFE"));
  column->addWidget(edFE);
  edFN = new QLineEdit(this);
  edFN->setObjectName(QStringLiteral("edFN"));
  column->addWidget(edFN);
  eLCCSP1 = new QLineEdit(this);
  eLCCSP1->setObjectName(QStringLiteral("eLCCSP1"));
  column->addWidget(eLCCSP1);
  eLCCSP2 = new QLineEdit(this);
  eLCCSP2->setObjectName(QStringLiteral("eLCCSP2"));
  column->addWidget(eLCCSP2);
  eLCCSF = new QLineEdit(this);
  eLCCSF->setObjectName(QStringLiteral("eLCCSF"));
  column->addWidget(eLCCSF);
  eLCCCP = new QLineEdit(this);
  eLCCCP->setObjectName(QStringLiteral("eLCCCP"));
  column->addWidget(eLCCCP);
  eLCCM = new QLineEdit(this);
  eLCCM->setObjectName(QStringLiteral("eLCCM"));
  column->addWidget(eLCCM);
  eLCCFE = new QLineEdit(this);
  eLCCFE->setObjectName(QStringLiteral("eLCCFE"));
  column->addWidget(eLCCFE);
  eLCCFN = new QLineEdit(this);
  eLCCFN->setObjectName(QStringLiteral("eLCCFN"));
  column->addWidget(eLCCFN);
}
