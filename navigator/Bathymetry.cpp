#include "navigator/Bathymetry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TOffsets::TOffsets(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("Offsets"));
  setWindowTitle(QStringLiteral("Offsets Essential for Post Processing / Recovery"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(489, 185);
  auto *column = new QVBoxLayout(this);
  OffsetA = new QLineEdit(this);
  OffsetA->setObjectName(QStringLiteral("OffsetA"));
  column->addWidget(OffsetA);
  SV = new QLineEdit(this);
  SV->setObjectName(QStringLiteral("SV"));
  column->addWidget(SV);
  OffsetC = new QLineEdit(this);
  OffsetC->setObjectName(QStringLiteral("OffsetC"));
  column->addWidget(OffsetC);
  TideHt = new QLineEdit(this);
  TideHt->setObjectName(QStringLiteral("TideHt"));
  column->addWidget(TideHt);
  bSVP = new QPushButton(QStringLiteral("Sound Velocity Profile"), this);
  bSVP->setObjectName(QStringLiteral("bSVP"));
  column->addWidget(bSVP);
}
