#include "positioning/uNTRIPSettings.h"

#include <QVBoxLayout>

TfrmNTRIPSettings::TfrmNTRIPSettings(QWidget *owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("frmNTRIPSettings"));
  setWindowTitle(QStringLiteral("Tarvik NTRIP Client"));
  resize(320, 498);
}
