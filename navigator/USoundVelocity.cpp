#include "navigator/USoundVelocity.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TfSVP::TfSVP(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fSVP"));
  setWindowTitle(QStringLiteral("Sound Velocity"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(700, 480);
  auto *column = new QVBoxLayout(this);
  cUseSVP = new QCheckBox(QStringLiteral("Use Sound Velocity Profile"), this);
  cUseSVP->setObjectName(QStringLiteral("cUseSVP"));
  column->addWidget(cUseSVP);
  mRawSVData = new QPlainTextEdit(this);
  mRawSVData->setObjectName(QStringLiteral("mRawSVData"));
  column->addWidget(mRawSVData);
  mRawSVExtracted = new QPlainTextEdit(this);
  mRawSVExtracted->setObjectName(QStringLiteral("mRawSVExtracted"));
  column->addWidget(mRawSVExtracted);
  mSortedAveragedSV = new QPlainTextEdit(this);
  mSortedAveragedSV->setObjectName(QStringLiteral("mSortedAveragedSV"));
  column->addWidget(mSortedAveragedSV);
  mSVPColumn = new QPlainTextEdit(this);
  mSVPColumn->setObjectName(QStringLiteral("mSVPColumn"));
  column->addWidget(mSVPColumn);
}
