#include "positioning/uRTCMParsing.h"

#include <QVBoxLayout>

TfRTCMParsing::TfRTCMParsing(QWidget *owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("fRTCMParsing"));
  setWindowTitle(QStringLiteral("RTCM Message Parser"));
  resize(624, 441);
}
